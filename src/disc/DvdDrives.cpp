#include "disc/DvdDrives.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "ui/OpticalMedia.h"

namespace {

// The primary volume descriptor is sector 16; its identifier takes 32 bytes at offset 40.
constexpr qint64 kDescriptorOffset = 16 * 2048;
constexpr int kIdentifierOffset = 40, kIdentifierBytes = 32;

// An open file descriptor that closes itself; -1 when the open failed.
struct Descriptor {
  explicit Descriptor(const QString& node) : fd(::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK)) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int fd;
};

class SystemDrives : public DvdDriveAccess {
 public:
  QList<DvdDriveItem> Drives() override {
    const QString mounts = MountTable();
    QList<DvdDriveItem> items;
    for (const OpticalDrive& drive : OpticalDrives()) {
      QString label = VolumeLabel(drive.node);
      if (label.isEmpty()) label = QFileInfo(DriveMountPoint(drive, mounts)).fileName();
      items.append({drive.node, label});
    }
    return items;
  }

  bool HasDisc(const QString& node) override {
    const Descriptor drive(node);
    if (drive.fd < 0) return false;
    const int status = ::ioctl(drive.fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    // A node that is no CD device (an image attached some other way) holds what it holds.
    return status == CDS_DISC_OK || (status < 0 && errno == ENOTTY);
  }

  bool NeedsDescrambler(const QString& node) override { return IsScrambled(node) && !DescramblerPresent(); }

 private:
  static bool IsScrambled(const QString& node) {
    const Descriptor drive(node);
    if (drive.fd < 0) return false;
    dvd_struct request{};
    request.type = DVD_STRUCT_COPYRIGHT;
    request.copyright.layer_num = 0;
    return ::ioctl(drive.fd, DVD_READ_STRUCT, &request) == 0 && request.copyright.cpst != 0;
  }

  // libdvdread loads libdvdcss by this name when it opens a drive.
  static bool DescramblerPresent() {
    void* library = ::dlopen("libdvdcss.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (library) ::dlclose(library);
    return library != nullptr;
  }
};

SystemDrives systemDrives;
DvdDriveAccess* current = &systemDrives;  // UI thread only

}  // namespace

DvdDriveAccess& dvdDrives() { return *current; }

void setDvdDrives(DvdDriveAccess* replacement) { current = replacement ? replacement : &systemDrives; }

QString VolumeLabel(const QString& path) {
  QFile disc(path);
  if (!disc.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !disc.seek(kDescriptorOffset)) return {};
  const QByteArray descriptor = disc.read(kIdentifierOffset + kIdentifierBytes);
  // Type 1 and "CD001": a primary volume descriptor.
  if (descriptor.size() < kIdentifierOffset + kIdentifierBytes || descriptor[0] != 1 || descriptor.mid(1, 5) != "CD001")
    return {};
  return QString::fromLatin1(descriptor.mid(kIdentifierOffset, kIdentifierBytes)).trimmed();
}
