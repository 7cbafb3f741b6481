#include "app/XmlValue.h"

#include <QDomDocument>
#include <QFile>

QString ReadXmlValue(const QString& file, const QString& path, const QString& attribute) {
  QFile input(file);
  QDomDocument document;
  if (!input.open(QIODevice::ReadOnly) || !document.setContent(&input)) return QStringLiteral("error");
  const QStringList names = path.split('.');
  QDomElement node = document.documentElement();
  if (node.tagName() != names.front()) return {};
  for (qsizetype i = 1; i < names.size(); ++i) {
    node = node.firstChildElement(names[i]);
    if (node.isNull()) return {};
  }
  const QString name = attribute.trimmed();
  return name.isEmpty() ? node.text() : node.attribute(name);
}
