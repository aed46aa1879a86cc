#include "core/own_texts.h"

#include <string_view>

namespace vexa {

// clang-format off
const char* const OwnTexts[kOwnTextCount][2] = {
    // The recording session.
    {"The sample interval is not a number: ", "Интервал записи не является числом: "},
    {"The sample interval must be at least 0.05 s: ", "Интервал записи должен быть не меньше 0.05 с: "},
    {"The sample interval must be at most 2147483 s: ", "Интервал записи должен быть не больше 2147483 с: "},
    {"The sample interval has more than 15 characters: ", "Интервал записи длиннее 15 символов: "},
    {"The file name postfix has more than 15 characters: ", "Суффикс имени файла длиннее 15 символов: "},
    {"The file name postfix may only hold Windows-1251 characters other than / \\ : * ? \" < > | and control characters: ",
     "Суффикс имени файла может содержать только символы Windows-1251, кроме / \\ : * ? \" < > | и управляющих: "},
    {"A mark is already waiting for the next sample.", "Метка уже ожидает следующего отсчета."},
    {"A mark has at most 50 characters.", "Метка не может быть длиннее 50 символов."},
    {"No recording is running.", "Запись не ведется."},
    {"The file reached 999999 rows and is complete: ", "Файл достиг 999999 строк и закрыт: "},

    // The control panel.
    {"idle", "не используется"},
    {"alive", "на связи"},
    {"silent", "нет данных"},
    {"frames", "кадров"},
    {"Frames decoded: ", "Принято кадров: "},
    {"Bytes skipped: ", "Пропущено байт: "},
    {"Silent reads: ", "Чтений без данных: "},
    {"Reopen attempts: ", "Попыток открыть снова: "},
    {"The folder path is longer than 128 characters: ", "Путь к папке длиннее 128 символов: "},
    {"The folder path holds characters outside Windows-1251: ", "Путь к папке содержит символы вне Windows-1251: "},
    {"No folder was chosen.", "Папка не выбрана."},

    // The recording windows and the Setup page.
    {"PDF file", "Файл PDF"},
    {"Print to a PDF file", "Печать в файл PDF"},
    {"The page could not be printed on ", "Не удалось напечатать страницу на принтере "},
    {"The list holds 20 presets, as many as it can.\nDelete one before adding another.",
     "В списке уже 20 наборов установок, больше он не вмещает.\nУдалите один, прежде чем добавить новый."},
    {"Not a number: ", "Это не число: "},
    {"No serial devices found", "Последовательные порты не найдены"},
    {"Which device this COM port stands for on this machine (written to vexa.ports)",
     "Какое устройство этого компьютера означает этот порт COM (записывается в vexa.ports)"},

    // What COM n stands for.
    {"environment variable ", "переменная окружения "},
    {"file ", "файл "},
    {"system default", "по умолчанию в системе"},
    {"no such port", "такого порта нет"},

    // Why a recording did not open.
    {"cannot be opened", "не открывается"},
    {"format version ", "версия формата "},
    {" is newer than this program reads (2)", " новее той, что читает эта программа (2)"},
    {"is not a recording (its first line is not \"Format-Version\")", "не является записью (первая строка не \"Format-Version\")"},
    {"has a header value that does not convert", "в заголовке есть значение, которое не читается"},
    {"has a header that ends before its \"Data-Table\" line", "заголовок кончается до строки \"Data-Table\""},
    {"cannot be read", "не читается"},

    // Exporting a recording.
    {"Export...", "Экспорт..."},
    {"Export the recording", "Экспорт записи"},
    {"EDF+ files (*.edf)", "Файлы EDF+ (*.edf)"},
    {"CSV files (*.csv)", "Файлы CSV (*.csv)"},
    {" is the recording itself", " - это сама запись"},
    {" names a recording (.vxa); choose a name ending in ", " - это имя записи (.vxa); выберите имя с расширением "},
    {" exists. Replace it?", " уже существует. Заменить?"},
    {"Replace", "Заменить"},
    {"The export was not written: ", "Экспорт не записан: "},
    {"This build has no EDF+ export (it was made without EDFlib).",
     "В этой сборке нет экспорта в EDF+ (она собрана без EDFlib)."},
    {"the recording has no channel for EDF+ to hold", "в записи нет ни одного канала для EDF+"},
    {"the recording has no sample interval, which EDF+ needs", "у записи нет интервала записи, а EDF+ без него не обходится"},
    {"EDF+ takes sample intervals of at most 60 s; this recording's is ",
     "EDF+ допускает интервал записи не больше 60 с; у этой записи "},
    {"EDF+ holds start dates from 1985 to 2084 only; this recording starts ",
     "EDF+ допускает даты начала только с 1985 по 2084 год; эта запись начата "},
    {"a value does not fit the 8 characters of an EDF+ header field in channel ",
     "значение не помещается в 8 символов поля заголовка EDF+ в канале "},
    {"the recording has more marks than EDF+ can hold at its sample interval",
     "в записи больше меток, чем EDF+ вмещает при ее интервале записи"},
    // Windows and dialogs.
    {"Breathing-measurement recorder for Flown-710®", "Регистратор дыхательных измерений для Flown-710®"},
    {"Version ", "Версия "},
    {"VEXA — breathing-measurement recorder", "VEXA — регистратор дыхательных измерений"},
    {"VEXA project", "Проект VEXA"},
    {"Recordings: .vxa text files; settings: vexa.cfg, vexa.pset", "Записи: текстовые файлы .vxa; настройки: vexa.cfg, vexa.pset"},
    {"cannot read %1 (%2): the default settings are used and the file is left as it is",
     "не удается прочитать %1 (%2): используются настройки по умолчанию, файл оставлен как есть"},
    {"%1 %2; %3 stored presets were read. It is kept as %4 before the presets are saved again.",
     "%1 %2; прочитано сохраненных наборов установок: %3. Перед следующим сохранением наборов он будет сохранен как %4."},
    {"cannot be read (%1)", "не читается (%1)"},
    {"is larger than any preset file", "больше любого файла наборов установок"},
    {"holds values this program cannot write back as they are", "содержит значения, которые программа не может записать обратно без изменений"},
    {"ends inside its first 8 bytes", "обрывается в первых 8 байтах"},
    {"announces %1 presets; the list holds %2", "объявляет наборов установок: %1; список вмещает %2"},
    {"has a record %1 that is cut short or gives a text a negative length",
     "содержит запись %1, которая обрывается или задает тексту отрицательную длину"},
    {"announces %1 presets", "объявляет наборов установок: %1"},
    {"has texts longer than 99 bytes, cut to 99", "содержит тексты длиннее 99 байт, они обрезаны до 99"},
    {"has bytes after its last record", "содержит байты после последней записи"},
    {"cannot create a temporary file beside %1: %2", "не удается создать временный файл рядом с %1: %2"},
    {"cannot write %1: %2", "не удается записать %1: %2"},
    {"cannot close %1: %2", "не удается закрыть %1: %2"},
    {"cannot replace %1: %2", "не удается заменить %1: %2"},
    {"cannot move %1 to %2: it exists", "не удается переименовать %1 в %2: такой файл уже есть"},
    {"cannot move %1 to %2: %3", "не удается переименовать %1 в %2: %3"},
    {"cannot delete %1: %2", "не удается удалить %1: %2"},
    {"cannot create %1: %2", "не удается создать %1: %2"},
    {"cannot read %1: left as it is", "не удается прочитать %1: файл оставлен как есть"},
    {"%1: COM%2 is not a port", "%1: COM%2 не является портом"},
    {"%1: no device given", "%1: устройство не указано"},
    {"%1: a device name is one line", "%1: имя устройства должно быть одной строкой"},
    {"%1: larger than %2 KiB, not a ports file: left as it is", "%1: больше %2 КиБ, это не файл портов: оставлен как есть"},
    {"%1: the chart has no size to draw", "%1: у графика нет размера для рисования"},
    {"%1: the image cannot be encoded", "%1: изображение не удается закодировать"},
    {"%1: no chart to draw", "%1: нет графика для рисования"},
    {"%1: the PDF page cannot be drawn", "%1: страницу PDF не удается нарисовать"},
    {"cannot create: %1", "не удается создать: %1"},
    {"cannot write: %1", "не удается записать: %1"},
    {"cannot sync: %1", "не удается сбросить на диск: %1"},
    {"cannot close: %1", "не удается закрыть: %1"},
    {"the recording file is not open", "файл записи не открыт"},
    {"negative file position", "отрицательная позиция в файле"},
    {"; the incomplete end could not be cut off", "; неполный конец не удалось отрезать"},
    {"VEXA is already running with the settings in %1. Its windows are brought to the front; this second start ends without changing anything.",
     "VEXA уже работает с настройками из папки %1. Ее окна выведены на передний план; второй запуск завершается, ничего не изменив."},
    {"%1 %2; %3 stored presets were read. The file is left as it is.",
     "%1 %2; прочитано сохраненных наборов установок: %3. Файл оставлен как есть."},
    {"cannot open: %1", "не удается открыть: %1"},
    {"cannot read: %1", "не удается прочитать: %1"},
    {"a session is recording into it now", "в него сейчас идет запись"},
    {"interrupted", "прервана"},
    {"%1\n\nThis recording was interrupted: the program recording it ended before Stop, so its header "
     "has no stop time and no row count. It holds %2 whole rows.\n\nComplete it now? Its rows stay as "
     "they are; the stop time becomes the last row's time and the row count is written.",
     "%1\n\nЭта запись была прервана: программа, которая ее вела, завершилась без остановки записи, "
     "поэтому в заголовке нет времени остановки и числа строк. Целых строк в ней: %2.\n\nЗавершить ее "
     "сейчас? Строки останутся как есть; временем остановки станет время последней строки, число строк "
     "будет записано."},
    {"Complete", "Завершить"},
    {"Open as it is", "Открыть как есть"},
    {"%1: completed, %2 rows, stopped %3", "%1: запись завершена, строк: %2, остановлена %3"},
    {"; a torn last row (%1 bytes) was cut off", "; оборванная последняя строка (байт: %1) отрезана"},
    {"; the last row's line end was added", "; к последней строке добавлен конец строки"},
    {"%1 was not completed: %2", "запись %1 не завершена: %2"},
    {"it is not an interrupted recording (its header holds its row count)",
     "это не прерванная запись (в заголовке есть число строк)"},
    {"it is not a recording that can be read", "это не запись, которую можно прочитать"},
    {"its header's stop time, description and row count are not where the format puts them",
     "время остановки, описание и число строк стоят в заголовке не там, где их располагает формат"},
    {"it holds %1 rows; the row count holds at most %2", "в ней строк: %1; поле числа строк вмещает не более %2"},
    {"the recording file: %1", "файл записи: %1"},
    {"recording now", "идет запись"},
};
// clang-format on

std::string FormatOwn(Own id, int language, const std::vector<std::string>& args) {
  const std::string_view text = OwnText(id, language);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto k = static_cast<std::size_t>(text[i + 1] - '1');
      if (k < args.size()) out += args[k];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vexa
