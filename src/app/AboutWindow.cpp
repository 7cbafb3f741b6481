#include "app/AboutWindow.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/GlobalObject.h"

TfrmAbout::TfrmAbout(const TGlobalObject& global, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(400, 190);

  auto* title = new QLabel(global.ProductTitle());
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 3);
  title->setFont(bold);
  auto* version = new QLabel(QStringLiteral("Version") + global.Version());
  auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(global.WebSiteUrl().toHtmlEscaped()));
  link->setObjectName(QStringLiteral("lblWebSite"));
  link->setOpenExternalLinks(true);
  auto* ok = new QPushButton(QStringLiteral("&Ok"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* column = new QVBoxLayout(this);
  column->addWidget(title, 0, Qt::AlignHCenter);
  column->addWidget(version, 0, Qt::AlignHCenter);
  column->addWidget(link, 0, Qt::AlignHCenter);
  column->addStretch();
  column->addWidget(ok, 0, Qt::AlignHCenter);
}
