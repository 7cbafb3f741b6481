#include "preview/Snapshots.h"

#include <algorithm>

#include "frontend/IniFile.h"
#include "frontend/SettingsKeys.h"
#include "ui/OutputDirectory.h"
#include "ui/Prompts.h"

namespace {

namespace keys = settings_keys;

constexpr int kJpegQualityDefault = 30;

bool flag(const IniFile& settings, const char* key) { return settings.readBool(keys::kSettings, key, true); }

}  // namespace

SnapshotResult SaveSnapshots(IniFile& settings, const QImage& full, const QImage& small, QWidget* parent) {
  QString folder = EnsureOutputFolder(settings, keys::kSnapOutPutDir, parent);
  if (!folder.endsWith('/')) folder += '/';
  const bool fullSize = flag(settings, keys::kSnapFullSize);
  const bool smallSize = flag(settings, keys::kSnapSmallSize);
  const bool bmp = flag(settings, keys::kSnapBmp);
  const bool jpg = flag(settings, keys::kSnapJpg);
  // Qt takes 0..100; a stored value outside that range means the nearest end.
  const int quality = std::clamp(settings.readInteger(keys::kSettings, keys::kJpgCmp, kJpegQualityDefault), 0, 100);

  struct File {
    bool wanted;
    const QImage& picture;
    const char* name;
    const char* format;
    int quality;
  };
  const File files[] = {
      {fullSize && bmp, full, "Snapshot_full.bmp", "BMP", -1},
      {smallSize && bmp, small, "Snapshot_small.bmp", "BMP", -1},
      {fullSize && jpg, full, "Snapshot_full.jpg", "JPG", quality},
      {smallSize && jpg, small, "Snapshot_small.jpg", "JPG", quality},
  };
  SnapshotResult result;
  for (const File& file : files) {
    if (!file.wanted) continue;
    const QString path = folder + file.name;
    (file.picture.save(path, file.format, file.quality) ? result.written : result.failed).append(path);
  }
  return result;
}

void WarnUnsavedSnapshots(const SnapshotResult& result, QWidget* parent) {
  if (result.failed.isEmpty()) return;
  prompts().ask(parent, {QStringLiteral("Warning"), QStringLiteral("Cannot save snapshot picture:\n") + result.failed.join('\n'),
                         PromptButtons::Ok, PromptIcon::Warning});
}
