// The reasons of failed runs, in Russian: the operating system's errors by
// their meaning, and the engine's own refusals.
#include "MirrorFailure.h"

#include "FileSystem.h"

namespace {

struct SystemErrorText {
    SystemError error;
    const char* text;
};

const SystemErrorText kSystemTexts[] = {
    {SystemError::NotFound, "Файл или папка не найдены."},
    {SystemError::AccessDenied, "Нет прав доступа."},
    {SystemError::InUse, "Файл занят другой программой."},
    {SystemError::DiskFull, "На диске нет места."},
    {SystemError::FileTooLarge, "Файл слишком велик для этого диска."},
    {SystemError::QuotaExceeded, "Превышена дисковая квота."},
    {SystemError::ReadOnlyDisk, "Диск защищён от записи."},
    {SystemError::NameTooLong, "Слишком длинное имя файла или путь."},
    {SystemError::IsFolder, "Это папка, а не файл."},
    {SystemError::NotFolder, "Часть пути - не папка."},
    {SystemError::LinkLoop, "Символические ссылки пути образуют петлю."},
    {SystemError::IoError, "Ошибка ввода-вывода диска."},
};

struct OwnText {
    MirrorFailureKind kind;
    const char* text;
};

const OwnText kOwnTexts[] = {
    {MirrorFailureKind::LineTooLong, "В файле строка длиннее 64 МБ: это не управляющая программа."},
    {MirrorFailureKind::NotRegularFile, "Это не обычный файл (устройство, канал, сокет или ссылка в никуда)."},
    {MirrorFailureKind::SourceChanged,
     "Файл изменился во время преобразования (его ещё записывает другая программа?)."},
    {MirrorFailureKind::NameTooLong, "Слишком длинное имя файла или путь."},
    {MirrorFailureKind::ReadOnly, "Файл только для чтения."},
    {MirrorFailureKind::OutputExists, "Файл появился во время преобразования."},
};

}  // namespace

std::string MirrorFailureText(const MirrorFailure& failure)
{
    if (failure.kind == MirrorFailureKind::System) {
        const SystemError error = ClassifySystemError(failure.nError);
        for (const SystemErrorText& entry : kSystemTexts)
            if (entry.error == error)
                return entry.text;
        return "Системная ошибка " + std::to_string(failure.nError) + ".";
    }
    if (failure.kind == MirrorFailureKind::PositionDoesNotFit)
        return "Координата строки " + std::to_string(failure.nError) +
               " после отражения не помещается в формат со знаком и шестью цифрами.";
    for (const OwnText& entry : kOwnTexts)
        if (entry.kind == failure.kind)
            return entry.text;
    return std::string();
}
