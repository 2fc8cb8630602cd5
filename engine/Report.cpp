// Save: the current listing as a text file, headed by date, system and user.
#include "engine/Engine.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"
#include "util/pure/NumberText.h"

namespace {

const char kDefaultReportName[] = "StartlullData.txt";
const unsigned kReportInitialSize = 64000;
const unsigned kReportGrowthStep = 32000;

}  // namespace

bool Engine::saveReport() {
  char path[PATH_SIZE];
  copyText(path, sizeof path, kDefaultReportName);
  int count = host.listingCount();
  if (count < 0) return false;
  if (!host.saveFileDialog(path, PATH_SIZE)) return true;

  TextBuffer report;
  report.reserve(kReportInitialSize, kReportGrowthStep);

  SYSTEMTIME now;
  platform.GetLocalTime(&now);
  char date[DATE_TEXT_SIZE];
  formatDate(now.wYear, now.wMonth, now.wDay, date, sizeof date);
  report.append(date);
  report.append("\r\n");

  char line[LINE_SIZE];
  osNameLine(line);
  report.append(line);
  report.append("\r\n");
  userNameLine(line);
  report.append(line);
  report.append("\r\n\r\n");

  StrBuf text;
  for (int index = 0; index < count && !report.failed; ++index) {
    // A line that cannot be read would leave a report that looks whole but
    // is not; write none rather than that.
    if (!host.listingLine(index, text)) {
      report.failed = 1;
      break;
    }
    report.append(text.c_str(), static_cast<unsigned>(text.length()));
    report.append("\r\n");
  }

  // Save tells the user nothing either way.
  bool written = !report.failed && report.writeTo(platform, path) == 1;
  report.release();
  return written;
}
