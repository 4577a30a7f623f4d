// The mode table, the output-name rule and the result texts that every front
// end shares.
#include "MirrorMessages.h"
#include "MirrorModes.h"

#include <gtest/gtest.h>

TEST(MirrorModes, TableAndLookups)
{
    ASSERT_EQ(3, MirrorModesEnd() - MirrorModesBegin());
    EXPECT_EQ(nullptr, FindMirrorMode(0));
    EXPECT_EQ(nullptr, FindMirrorMode(4));
    EXPECT_STREQ("_x", FindMirrorMode(1)->suffix);
    EXPECT_STREQ("XYIJ", FindMirrorMode(3)->freeLetters);
    EXPECT_EQ(FindMirrorMode(2), FindMirrorModeByName("y"));
    EXPECT_EQ(FindMirrorMode(3), FindMirrorModeByName("3"));
    EXPECT_EQ(nullptr, FindMirrorModeByName("X"));
    EXPECT_EQ(nullptr, FindMirrorModeByName(""));
}

TEST(MirrorModes, ArcSenseIsReversedWhereTheModeNegatesOneAxisOfThePlane)
{
    // Rows: modes 1, 2, 3; columns: G17 (XY), G18 (ZX), G19 (YZ).
    const bool reversed[3][3] = {{true, false, true}, {true, true, false}, {false, true, true}};
    for (int mode = 1; mode <= 3; ++mode)
        for (int plane = kPlaneXY; plane <= kPlaneYZ; ++plane)
            EXPECT_EQ(reversed[mode - 1][plane - kPlaneXY], ReversesPlane(*FindMirrorMode(mode), plane))
                << "mode " << mode << " G" << plane;
    EXPECT_FALSE(ReversesPlane(*FindMirrorMode(1), 20));
}

TEST(MirrorModes, OutputNameGoesBeforeTheLastPointOfTheFileName)
{
    const MirrorMode& x = *FindMirrorMode(1);
    const MirrorMode& xy = *FindMirrorMode(3);
    EXPECT_EQ("uo128_x.up", MirrorOutputPath("uo128.up", x));
    EXPECT_EQ("D:\\NC\\uo128_x.up", MirrorOutputPath("D:\\NC\\uo128.up", x));
    EXPECT_EQ("a.b_xy.nc", MirrorOutputPath("a.b.nc", xy));
    EXPECT_EQ("uo128_x_x.up", MirrorOutputPath("uo128_x.up", x));
    EXPECT_EQ("prog_x", MirrorOutputPath("prog", x));
    EXPECT_EQ("/work/v1.2/prog_x", MirrorOutputPath("/work/v1.2/prog", x));      // no point in the name
    EXPECT_EQ("C:\\v1.2\\prog_xy", MirrorOutputPath("C:\\v1.2\\prog", xy));
    EXPECT_EQ("деталь_x.up", MirrorOutputPath("деталь.up", x));
}

TEST(MirrorMessages, TextsCarryTheirValues)
{
    EXPECT_EQ("Файл:=\n out.up \n\t записан на диск \n Преобразование завершено...\n"
              " Число преобразованных адресов =12345678901",
              FormatMirrorMessage(MirrorMessage::Written, "in.up", "out.up", 12345678901LL));
    EXPECT_EQ("Проверьте передаваемые параметры:\n in.up \n out.up \n 4",
              FormatMirrorMessage(MirrorMessage::BadParameters, "in.up", "out.up", 4));
    EXPECT_EQ("Невозможно записать файл:\n out.up \n Проверьте права доступа или ошибка системы",
              FormatMirrorMessage(MirrorMessageForResult(-2), "in.up", "out.up"));
    EXPECT_EQ(MirrorMessage::CannotRead, MirrorMessageForResult(-1));
    EXPECT_EQ(MirrorMessage::BadParameters, MirrorMessageForResult(-3));
    EXPECT_EQ(MirrorMessage::Written, MirrorMessageForResult(0));
    EXPECT_TRUE(MirrorMessageStyleOf(MirrorMessage::CannotWrite).beepFirst);
    EXPECT_EQ(0x24u, MirrorMessageStyleOf(MirrorMessage::OutputExists).boxFlags);
    EXPECT_EQ(0x40u, MirrorMessageStyleOf(MirrorMessage::Written).boxFlags);
}

TEST(MirrorMessages, FindingsReadAsCompilerLinesAndAsAShortList)
{
    CMirrorFindings findings;
    for (long long line = 1; line <= 12; ++line)
        findings.Add(line * 10, FindingCode::SecondWord, "X20.");
    findings.Add(200, FindingCode::Polar, "G16");
    EXPECT_EQ("p.nc:10: предупреждение: повторный адрес X20. в кадре не отражён (отражается только первый) "
              "[second-word]",
              FormatFindingForLog("p.nc", findings.List().front()));
    const std::string box = FormatFindingsMessage(findings);
    EXPECT_EQ(0u, box.find("Программа отражена, но проверьте эти кадры:\nстрока 10: повторный адрес X20."));
    EXPECT_NE(std::string::npos, box.find("\nстрока 100: "));
    EXPECT_EQ(std::string::npos, box.find("строка 110"));
    const std::string more = "\n... и ещё 3";
    EXPECT_EQ(box.size() - more.size(), box.rfind(more));
    CMirrorFindings two;
    two.Add(7, FindingCode::Polar, "G16");
    EXPECT_EQ(std::string::npos, FormatFindingsMessage(two).find("ещё"));
}
