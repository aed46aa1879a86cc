// vexa-render: draws a recording's chart as the monitor shows it after the
// recording was opened, into an image file, or prints it as the print window
// would into a PDF page, without a display. The chart and print options come
// from the stored settings (vexa.cfg, read only).
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/arguments.h"
#include "core/atomic_file.h"
#include "core/paths.h"
#include "core/settings.h"
#include "platform/chart_painter.h"
#include "platform/print_page.h"
#include "recording/channel.h"
#include "recording/open_recording.h"
#include "recording/session.h"

namespace {

constexpr int kMaxSide = 8192;

// Also the man page: help2man turns the "Xxx:" headings into its sections.
void Usage(std::FILE* out) {
  std::fprintf(out,
               "Usage: vexa-render FILE.vxa --out OUT.png|OUT.bmp [--size WxH]\n"
               "  or:  vexa-render FILE.vxa --out PAGE.pdf\n"
               "Draws a recording's chart as the monitor window of vexa shows it after\n"
               "opening the recording (time axes and channel axes scaled to the data), or\n"
               "prints it on one A4 page as the print window would, without a display, and\n"
               "prints the output's path.\n"
               "\nOptions:\n"
               "  --out OUT.png|OUT.bmp|PAGE.pdf\n"
               "           the file to write; its extension chooses the kind\n"
               "  --size WxH\n"
               "           the image's size in pixels, each side 1 to 8192 (default 1280x720)\n"
               "  --help   prints this text\n"
               "  --version\n"
               "           prints the program's version\n"
               "\nFiles:\n"
               "  The chart and print options (legend, marks, time axis, 3D, grid, axes on\n"
               "  one line, axis titles; orientation, colour, title lines, language) are\n"
               "  read from vexa.cfg, never written, in the first of these folders:\n");
  for (std::string_view folder : vexa::ConfigDirRule()) {
    std::fprintf(out, "    %.*s\n", static_cast<int>(folder.size()), folder.data());
  }
  std::fprintf(out,
               "  The title lines use the system's date format and decimal separator (LANG).\n"
               "\nEnvironment:\n"
               "  VEXA_CONFIG_DIR\n"
               "           the folder of vexa.cfg\n"
               "  QT_LOGGING_RULES=\"vexa.chart.paint.debug=true\"\n"
               "           logs each paint's time, points and size on standard error\n"
               "\nExit status:\n"
               "  0 written; 1 the recording cannot be read; 2 its format version is newer,\n"
               "  or the command line is malformed; 3 the file is not a recording; 4 the\n"
               "  output cannot be written (a PDF is written whole or not at all).\n");
}

int Malformed(const char* why) {
  std::fprintf(stderr, "vexa-render: %s\n\n", why);
  Usage(stderr);
  return 2;
}

bool ParseSize(const std::string& text, int& w, int& h) {
  const auto x = text.find('x');
  if (x == std::string::npos) return false;
  auto whole = [](const std::string& t, int& out) {
    if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::atoi(t.c_str());
    return out >= 1 && out <= kMaxSide;
  };
  return whole(text.substr(0, x), w) && whole(text.substr(x + 1), h);
}

std::string LowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto sep = path.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The stored chart options, without writing the settings file.
void ReadStoredSettings(vexa::TGLOB& settings) {
  std::vector<std::byte> bytes;
  const std::string path = vexa::JoinPath(vexa::ConfigDir(), vexa::kConfigFileName);
  if (vexa::ReadFileBytes(path, vexa::kSettingsSize, bytes)) vexa::DecodeSettings(bytes, settings);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = vexa::Utf8Arguments(argc, argv);
  std::string input, output;
  int width = 1280, height = 720;
  bool sized = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("vexa-render %s\n", VEXA_VERSION);
      return 0;
    }
    if (a == "--out" || a == "--size") {
      if (i + 1 >= args.size()) return Malformed((a + " needs a value").c_str());
      const std::string& value = args[++i];
      if (a == "--out") {
        output = value;
      } else if (!ParseSize(value, width, height)) {
        return Malformed("--size takes WxH, each from 1 to 8192");
      } else {
        sized = true;
      }
    } else if (a.rfind("--", 0) == 0) {
      return Malformed(("unknown option " + a).c_str());
    } else if (input.empty()) {
      input = a;
    } else {
      return Malformed("one recording file expected");
    }
  }
  if (input.empty()) return Malformed("no recording file given");
  if (output.empty()) return Malformed("--out is required");
  const std::string ext = LowerExtension(output);
  if (ext != "png" && ext != "bmp" && ext != "pdf") return Malformed("--out must end in .png, .bmp or .pdf");
  if (ext == "pdf" && sized) return Malformed("--size is for images; a PDF page is A4");

#ifndef _WIN32
  // Without a display Qt would stop at start: draw offscreen then.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Qt warns on stderr when this is unset (a service or a plain ssh login)
  // and uses a private folder anyway: give it that folder, and keep stderr
  // for the one line that matters.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const std::string runtime = "/tmp/runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    struct stat st {};
    if (stat(runtime.c_str(), &st) == 0 && st.st_uid == getuid() && (st.st_mode & 0077) == 0) {
      qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }
  }
#endif
  QGuiApplication app(argc, argv);

  vexa::TGLOB settings(vexa::TGLOB::NoFile{}, vexa::ConfigDir());
  ReadStoredSettings(settings);
  vexa::chart::Chart chart;  // outlives the channel, which refers to it
  vexa::TChannel channel(settings);
  channel.CreateFixedAxes(chart);
  const vexa::OpenOutcome opened = vexa::OpenRecordingFile(channel, input);
  if (opened.status != 0) {
    std::fprintf(stderr, "vexa-render: %s: %s\n", input.c_str(), opened.reason.c_str());
    return opened.status;
  }
  // As the control panel shows an opened recording: the time axes and every
  // channel axis scale themselves to the data.
  vexa::ApplyAutoTimeScale(channel, settings, true, settings.AutoScrollAtStart);
  channel.MakeChannelAxesAutomatic();

  if (ext == "pdf") {
    settings.AppliedLanguage = settings.Language;  // as the program applies it at start
    const vexa::FileResult written = vexa::platform::WritePrintPdf(
        chart, output, vexa::platform::PrintPageOptionsFor(settings, channel));
    if (!written.ok) {
      std::fprintf(stderr, "vexa-render: %s\n", written.error.c_str());
      return 4;
    }
    std::printf("%s\n", output.c_str());
    return 0;
  }
  const QImage image = vexa::platform::RenderChartImage(chart, QSize(width, height));
  if (!image.save(QString::fromUtf8(output), ext == "png" ? "PNG" : "BMP")) {
    std::fprintf(stderr, "vexa-render: %s: cannot be written\n", output.c_str());
    return 4;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
