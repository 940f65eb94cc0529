#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include "ui/widget_lookup.h"

namespace {

TEST(AboutDialogTest, ShowsTheIconNameAndBothVersionsAndCloses) {
  AboutDialog dialog(QStringLiteral("1.4"), QStringLiteral("31"));
  dialog.show();
  EXPECT_NE(WidgetLookup::one<QLabel>(&dialog, QStringLiteral("Halomark")), nullptr);
  EXPECT_NE(WidgetLookup::one<QLabel>(&dialog, QStringLiteral("Version 1.4 (31)")), nullptr);

  // The icon is drawn, not an empty placeholder: its centre is opaque and its corner clear.
  QPixmap icon;
  for (auto* label : dialog.findChildren<QLabel*>())
    if (!label->pixmap().isNull()) icon = label->pixmap();
  ASSERT_FALSE(icon.isNull());
  QImage image = icon.toImage();
  EXPECT_GE(image.width(), 96);
  EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 200);
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);

  auto* close = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
  ASSERT_NE(close, nullptr);
  int centre = close->mapTo(&dialog, close->rect().center()).x();
  EXPECT_NEAR(centre, dialog.rect().center().x(), 2) << "the button sits centred";
  close->click();
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
