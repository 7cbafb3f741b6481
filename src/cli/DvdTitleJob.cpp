#include "cli/DvdTitleJob.h"

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "frontend/DeinterlaceChoice.h"

bool OpenDvdTitleJob(const std::string& path, int number, const IniFile& settings, DvdTitleJob& job,
                     std::string& error) {
  if (!DvdPluginLoaded()) {
    error = DvdLastError();
    return false;
  }
  const int count = DVDEnumTitle(path);
  if (count < 1) {
    error = path + " is not a readable DVD: " + DvdReader()->lastError();
    return false;
  }
  if (number < 1 || number > count || !DVDGetTitle(number - 1, job.title)) {
    error = "the DVD " + path + " has no title " + std::to_string(number) + " (titles 1 to " + std::to_string(count) +
            (number >= 1 && number <= count ? " without this one, which is invalid)" : ")");
    return false;
  }
  const int audio = job.title.AudioCount > 0 ? job.title.Audio[0].ID : 0;
  const DvdParam param{number - 1, 0, 99, audio, 0, 2, deinterlace_choice::DvdField(settings)};
  job.caption = "DVD Title " + std::to_string(number);
  job.address = BuildOpenDvdString(path, param);
  return true;
}
