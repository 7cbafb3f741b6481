#include "ui/SkinMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "frontend/SettingsKeys.h"
#include "ui/Themes.h"

namespace keys = settings_keys;

TSkinMenu::TSkinMenu(QMenu* menu, const std::array<QAction*, 7>& items, WindowContext context, QObject* parent)
    : QObject(parent), items_(items), context_(std::move(context)) {
  connect(menu, &QMenu::aboutToShow, this, &TSkinMenu::SkinMenuShow);
  for (int i = 0; i < themes::kCount; ++i)
    connect(items_[size_t(i)], &QAction::triggered, this, [this, i] { SkinItemClick(i); });
}

void TSkinMenu::SkinMenuShow() {
  checkedSkin_ = context_.settings().readInteger(keys::kSettings, keys::kSkinIndex, keys::kSkinIndexInMenu);
  for (int i = 0; i < themes::kCount; ++i) items_[size_t(i)]->setChecked(i == checkedSkin_);
}

void TSkinMenu::SkinItemClick(int index) {
  if (index == checkedSkin_) {
    items_[size_t(index)]->setChecked(true);  // the click unchecked it
    return;
  }
  context_.window->hide();
  themes::apply(index);
  checkedSkin_ = index;
  for (int i = 0; i < themes::kCount; ++i) items_[size_t(i)]->setChecked(i == index);
  context_.window->show();
  context_.settings().writeInteger(keys::kSettings, keys::kSkinIndex, index);
}
