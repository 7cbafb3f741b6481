#include "app/GlobalObject.h"

namespace {

void setUnlessEmpty(QString& field, const QString& value) {
  if (!value.isEmpty()) field = value;
}

void setPath(QString& field, const QString& value) {
  if (value.size() > 3) field = value;
}

}  // namespace

void TGlobalObject::SetHelpUrl(const QString& value) { setUnlessEmpty(helpUrl_, value); }
void TGlobalObject::SetIniPath(const QString& value) { setPath(iniPath_, value); }
void TGlobalObject::SetFormatIniPath(const QString& value) { setPath(formatIniPath_, value); }
void TGlobalObject::SetProductTitle(const QString& value) { setUnlessEmpty(productTitle_, value); }
void TGlobalObject::SetVersion(const QString& value) { setUnlessEmpty(version_, value); }
void TGlobalObject::SetDownloadUrl(const QString& value) { setUnlessEmpty(downloadUrl_, value); }
void TGlobalObject::SetWebSiteUrl(const QString& value) { setUnlessEmpty(webSiteUrl_, value); }
