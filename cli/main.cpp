// ncmirror: mirrors NC part programs from the command line.
#include "MirrorTool.h"

int main(int argc, char** argv)
{
    CMirrorTool tool;
    return tool.Run(argc, argv);
}
