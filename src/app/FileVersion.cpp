#include "app/FileVersion.h"

#include "BuildVersion.h"

QString FileVersionText(int major, int minor, int build, int revision) {
  return QStringLiteral(" %1.%2%3%4 ").arg(major).arg(minor).arg(build).arg(revision);
}

QString FileVersionText() {
  return FileVersionText(build_version::kMajor, build_version::kMinor, build_version::kBuild,
                         build_version::kRevision);
}
