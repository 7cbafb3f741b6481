#pragma once

#include <QString>
#include <QTemporaryDir>

#include <ostream>
#include <string>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Points HOME, XDG_CONFIG_HOME and XDG_CACHE_HOME at a fresh temporary folder for
// the lifetime of the object, so settings and default folders never touch the
// real ones.
class TempHome {
 public:
  TempHome();
  ~TempHome();

  QString path() const { return dir_.path(); }
  QString settingsPath() const;
  std::string file(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

 private:
  QTemporaryDir dir_;
  QByteArray oldHome_, oldConfig_, oldCache_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
