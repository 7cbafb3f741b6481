#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/FolderChooser.h"
#include "ui/OpticalMedia.h"

namespace {

// A mount table as the kernel writes it: a disc mounted by the desktop, a
// loop-mounted ISO image, a disc mounted without naming its file system type,
// the system and home disks, and a folder in a path with a blank.
const QString kMountInfo = QStringLiteral(
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "23 22 8:2 / /home rw,relatime shared:2 - ext4 /dev/sda2 rw\n"
    "40 23 11:0 / /home/user/My\\040Disc ro,nosuid shared:7 - udf /dev/sr0 ro\n"
    "41 22 7:0 / /mnt/image ro shared:8 - iso9660 /dev/loop0 ro\n"
    "42 22 11:1 / /media/cd rw shared:9 master:3 - auto /dev/sr1 rw\n"
    "43 42 0:50 / /media/cd/tmp rw shared:10 - tmpfs tmpfs rw\n"
    "44 22 8:3 / /media/cd2 rw shared:11 - ext4 /dev/sdb1 rw\n"
    "45 22 8:4 / /mnt/image rw shared:12 - ext4 /dev/sdc1 rw\n"
    "garbage line\n");

const QList<OpticalDrive> kDrives{{QStringLiteral("/dev/sr0"), QStringLiteral("11:0")},
                                  {QStringLiteral("/dev/sr1"), QStringLiteral("11:1")}};

bool optical(const char* folder, const QList<OpticalDrive>& drives = kDrives) {
  return IsOnOpticalMedium(QString::fromUtf8(folder), kMountInfo, drives);
}

TEST(OpticalMedium, TheInnermostMountOfTheFolderTells) {
  // On a disc by its file system type or its drive.
  for (const char* folder : {"/home/user/My Disc", "/home/user/My Disc/VIDEO_TS", "/media/cd/AUDIO_TS"})
    EXPECT_TRUE(optical(folder)) << folder;
  EXPECT_TRUE(IsOnOpticalMedium(QStringLiteral("/media/cd"), kMountInfo, {{QStringLiteral("/dev/x"), QStringLiteral("11:1")}}));
  EXPECT_FALSE(optical("/media/cd", {}));
  // A name that only begins like the disc's, a mount inside the disc's folder,
  // a later mount hiding an image mounted on the same folder.
  for (const char* folder : {"/", "/home/user", "/home/user/My Disc2", "/media/cd2/video", "/media/cd/tmp/x", "/mnt/image"})
    EXPECT_FALSE(optical(folder)) << folder;
  EXPECT_FALSE(IsOnOpticalMedium(QStringLiteral("/home"), QString(), kDrives));
}

TEST(OpticalMedium, DrivesAreTheSrDevicesOfTheBlockFolder) {
  QTemporaryDir block;
  for (const char* name : {"sr0", "sr1", "sda"}) QDir(block.path()).mkpath(name);
  QFile dev(block.path() + "/sr1/dev");
  ASSERT_TRUE(dev.open(QIODevice::WriteOnly));
  dev.write("11:1\n");
  dev.close();
  const QList<OpticalDrive> drives = OpticalDrives(block.path());
  ASSERT_EQ(drives.size(), 2);
  EXPECT_EQ(drives[0].node, "/dev/sr0");
  EXPECT_EQ(drives[0].deviceNumber, "");
  EXPECT_EQ(drives[1].node, "/dev/sr1");
  EXPECT_EQ(drives[1].deviceNumber, "11:1");
}

TEST(FolderChooserRule, VirtualTopFoldersAndNothingCannotBeConfirmed) {
  for (const char* folder : {"", "/proc", "/sys", "/dev", "/run", "/proc/"})
    EXPECT_FALSE(IsConfirmableFolder(QString::fromLatin1(folder))) << folder;
  for (const char* folder : {"/", "/home", "/tmp", "/run/media/user/stick", "/devices"})
    EXPECT_TRUE(IsConfirmableFolder(QString::fromLatin1(folder))) << folder;
}

}  // namespace
