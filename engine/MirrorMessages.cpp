#include "MirrorMessages.h"

#include <string>

namespace {

struct MessageEntry {
    MirrorMessage message;
    MirrorMessageStyle style;
    const char* text;  // %s and %d stand for the values, in the order of FormatMirrorMessage's arguments
};

const MessageEntry kMessages[] = {
    {MirrorMessage::NoModeChosen, {false, 0x30}, "Выберите соответствующее отображение"},
    {MirrorMessage::SourceNotFound, {false, 0x10},
     "Файл Данных:=\n %s \n\t не найден !\n преобразование прервано...."},
    {MirrorMessage::OutputExists, {false, 0x24},
     "Файл:=\n %s \n\t уже существует! \n Перезаписать существующий ?"},
    {MirrorMessage::BadParameters, {true, 0x10}, "Проверьте передаваемые параметры:\n %s \n %s \n %d"},
    {MirrorMessage::CannotWrite, {true, 0x10},
     "Невозможно записать файл:\n %s \n Проверьте права доступа или ошибка системы"},
    {MirrorMessage::CannotRead, {true, 0x10}, "Невозможно открыть файл:\n %s \n на 'чтение' \n"},
    {MirrorMessage::Written, {false, 0x40},
     "Файл:=\n %s \n\t записан на диск \n Преобразование завершено...\n Число преобразованных адресов =%d"},
    {MirrorMessage::RefusedByCheck, {true, 0x10},
     "Файл:=\n %s \n\t не записан: проверка программы нашла замечания \n преобразование прервано...."},
    {MirrorMessage::PositionDoesNotFit, {true, 0x10},
     "Файл:=\n %s \n\t не записан: отражённая координата не помещается в формат \n преобразование прервано...."},
    {MirrorMessage::OutputKept, {false, 0x30},
     "Файл:=\n %s \n\t уже существует и не заменён (заменяет -f) \n %s пропущен...."},
    {MirrorMessage::EditorNotStarted, {true, 0x10}, "Не удалось открыть Блокнот для файла:\n %s \n"},
    {MirrorMessage::PositionNotNumber, {false, 0x30}, "Положение оси отражения задано неверно:\n %s \n"},
    {MirrorMessage::NoFeedMoves, {false, 0x30},
     "Файл:=\n %s \n\t не содержит рабочих перемещений (G01-G03, циклы) \n центр не определён...."},
};

struct FindingEntry {
    FindingCode code;
    const char* name;
    const char* text;  // %s stands for the words concerned
};

const FindingEntry kFindings[] = {
    {FindingCode::CommentMotion, "comment-motion",
     "кадр с комментарием не преобразован, а в нём %s: вынесите комментарий в отдельную строку"},
    {FindingCode::UnmirroredValue, "unmirrored-value",
     "%s - не число (переменная или выражение), значение не отражено"},
    {FindingCode::SecondWord, "second-word", "повторный адрес %s в кадре не отражён (отражается только первый)"},
    {FindingCode::Assignment, "assignment", "%s - адресу присваивается значение, оно не отражено"},
    {FindingCode::Rotation, "rotation", "поворот системы координат %s: угол поворота не отражён"},
    {FindingCode::Polar, "polar",
     "полярные координаты %s: смена знака радиуса поворачивает точку на 180°, а не отражает её"},
    {FindingCode::Subprogram, "subprogram", "вызов %s: подпрограммы нет в этом файле, она не отражена"},
    {FindingCode::FixedSignedCentre, "fixed-signed-centre",
     "центр дуги %s задан со знаком и не отражён (в формате со знаком и шестью цифрами I и J не меняются)"},
    {FindingCode::Lowercase, "lowercase", "строчная буква в %s: адрес не отражён (отражаются только заглавные)"},
    {FindingCode::LengthCompensation, "length-compensation",
     "%s: G43 с адресом H на большинстве систем - коррекция на длину инструмента, а правило формата со знаком "
     "и шестью цифрами заменило её как сторону коррекции"},
    {FindingCode::ControlCycle, "control-cycle",
     "цикл %s: I и J в нём не координаты (радиус, угол или смещение), а отражение их изменило, проверьте кадр"},
    {FindingCode::RotaryAxis, "rotary-axis",
     "поворотная ось %s: отражение меняет направление вращения вокруг неё, а адрес не изменён"},
    {FindingCode::Lathe, "lathe", "похоже на программу токарного станка (%s): отражение рассчитано на фрезерные"},
    {FindingCode::IntegerPosition, "integer-position",
     "%s: координаты без десятичной точки прочитаны как целые единицы; системы, которые читают их в "
     "дискретах, поведут инструмент в другое место"},
    {FindingCode::PathMismatch, "path-mismatch", "траектория не совпадает с отражённой: %s"},
    {FindingCode::NotProved, "not-proved", "траектория не доказана: %s"},
};

const FindingEntry& FindingEntryOf(FindingCode code)
{
    for (const FindingEntry& e : kFindings)
        if (e.code == code)
            return e;
    return kFindings[0];
}

const MessageEntry& EntryOf(MirrorMessage message)
{
    for (const MessageEntry& e : kMessages)
        if (e.message == message)
            return e;
    return kMessages[0];
}

// The texts a message's %s place-holders take, in order.
void PathArguments(MirrorMessage message, const std::string& source, const std::string& output,
                   const std::string* args[2])
{
    args[0] = args[1] = nullptr;
    switch (message) {
    case MirrorMessage::SourceNotFound:
    case MirrorMessage::CannotRead:
    case MirrorMessage::EditorNotStarted:
    case MirrorMessage::PositionNotNumber:
    case MirrorMessage::NoFeedMoves: args[0] = &source; break;
    case MirrorMessage::OutputExists:
    case MirrorMessage::CannotWrite:
    case MirrorMessage::Written:
    case MirrorMessage::RefusedByCheck:
    case MirrorMessage::PositionDoesNotFit: args[0] = &output; break;
    case MirrorMessage::BadParameters: args[0] = &source; args[1] = &output; break;
    case MirrorMessage::OutputKept: args[0] = &output; args[1] = &source; break;
    case MirrorMessage::NoModeChosen: break;
    }
}

}  // namespace

MirrorMessageStyle MirrorMessageStyleOf(MirrorMessage message) { return EntryOf(message).style; }

std::string FormatMirrorMessage(MirrorMessage message, const std::string& source,
                                const std::string& output, long long number)
{
    const std::string* args[2];
    PathArguments(message, source, output, args);
    std::string text;
    int nextArg = 0;
    for (const char* p = EntryOf(message).text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (nextArg < 2 && args[nextArg])
                text += *args[nextArg];
            ++nextArg;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            text += std::to_string(number);
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

std::string FormatMirrorPosition(const std::string& x, const std::string& y)
{
    // Only the lines that are not the axes themselves.
    auto zero = [](const std::string& text) { return text.find_first_not_of("+-0.") == std::string::npos; };
    std::string text;
    if (!zero(x))
        text += "x=" + x;
    if (!zero(y))
        text += (text.empty() ? "" : ", ") + std::string("y=") + y;
    return text.empty() ? text : "Ось отражения: " + text;
}

MirrorMessage MirrorMessageForResult(long long result)
{
    if (result >= 0)
        return MirrorMessage::Written;
    if (result == -1)
        return MirrorMessage::CannotRead;
    if (result == -2)
        return MirrorMessage::CannotWrite;
    if (result == -4)
        return MirrorMessage::RefusedByCheck;
    if (result == -5)
        return MirrorMessage::PositionDoesNotFit;
    return MirrorMessage::BadParameters;
}

std::string FormatMirrorMessageLine(MirrorMessage message, const std::string& source,
                                    const std::string& output, long long number)
{
    const std::string* args[2];
    PathArguments(message, source, output, args);
    std::string text;
    bool pendingBlank = false;
    auto put = [&](const std::string& piece) {
        if (piece.empty())
            return;
        if (pendingBlank && !text.empty())
            text += ' ';
        pendingBlank = false;
        text += piece;
    };
    int nextArg = 0;
    for (const char* p = EntryOf(message).text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (nextArg < 2 && args[nextArg])
                put(*args[nextArg]);
            ++nextArg;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            put(std::to_string(number));
            ++p;
        } else if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') {
            pendingBlank = true;
        } else {
            put(std::string(1, *p));
        }
    }
    return text;
}

const char* FindingCodeName(FindingCode code) { return FindingEntryOf(code).name; }

std::string FormatFindingText(const MirrorFinding& finding)
{
    std::string text;
    for (const char* p = FindingEntryOf(finding.code).text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            text += finding.word;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

std::string FormatFindingForLog(const std::string& file, const MirrorFinding& finding)
{
    return file + ":" + std::to_string(finding.line) + ": предупреждение: " + FormatFindingText(finding) + " [" +
           FindingCodeName(finding.code) + "]";
}

std::string FormatFindingForBox(const MirrorFinding& finding)
{
    return "строка " + std::to_string(finding.line) + ": " + FormatFindingText(finding);
}

std::string FormatMoreFindings(long long more) { return "... и ещё " + std::to_string(more); }

std::string FormatFindingsMessage(const CMirrorFindings& findings, std::size_t shown)
{
    std::string text = "Программа отражена, но проверьте эти кадры:";
    std::size_t listed = 0;
    for (const MirrorFinding& finding : findings.List()) {
        if (listed == shown)
            break;
        text += "\n" + FormatFindingForBox(finding);
        ++listed;
    }
    if (findings.Total() > static_cast<long long>(listed))
        text += "\n" + FormatMoreFindings(findings.Total() - static_cast<long long>(listed));
    return text;
}
