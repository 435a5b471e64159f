#include "AppIcon.h"
#include "Resources.h"
#include "SjisText.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

TEST(AppIcon, EachSizeHasAtMostSixteenColoursAndMatchesItsInstalledPng)
{
    for (const int size : {16, 32}) {
        SCOPED_TRACE(size);
        const QImage image = LoadAppIcon().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage png = QImage(QStringLiteral(KANAROKU_RESOURCES_DIR "/kanaroku-%1.png").arg(size))
                               .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        ASSERT_EQ(png.size(), image.size());
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                // Fully transparent pixels are equal whatever colour they carry.
                const QRgb pixel = qAlpha(image.pixel(x, y)) == 0 ? 0 : image.pixel(x, y);
                ASSERT_EQ(qAlpha(png.pixel(x, y)) == 0 ? 0 : png.pixel(x, y), pixel) << x << "," << y;
                colours.insert(pixel);
            }
        }
        EXPECT_LE(colours.size(), 16u);
    }
}

// Qt reads "&" as a mnemonic marker: only the About menu item has one.
TEST(Resources, ControlsLieInsideTheirWindowAndEveryTextHasAShiftJisForm)
{
    const auto fits = [](const char* text) { return sjis::FromQString(QString::fromUtf8(text)).has_value(); };
    for (const int id : {IDD_ADDRESSBOOK, IDD_ABOUTBOX}) {
        const DialogTemplate& dialog = *FindDialogTemplate(id);
        EXPECT_TRUE(fits(dialog.caption));
        for (const ControlTemplate& control : dialog.controls) {
            EXPECT_TRUE(control.x >= 0 && control.y >= 0 && control.x + control.cx <= dialog.cx
                        && control.y + control.cy <= dialog.cy) << control.x << "," << control.y;
            EXPECT_TRUE(fits(control.text) && std::strchr(control.text, '&') == nullptr) << control.text;
        }
    }
    for (const int id : {IDS_ABOUTBOX, IDS_SOCKETS_INIT_FAILED, IDS_APP_TITLE, IDS_PARSE_UINT, IDS_PARSE_RANGE,
                         IDS_PARSE_TEXT_LENGTH, IDS_INTERNAL_ERROR}) {
        EXPECT_TRUE(FindString(id) != nullptr && *FindString(id) != '\0' && fits(FindString(id))) << id;
    }
    const std::string about = FindString(IDS_ABOUTBOX);
    EXPECT_EQ(about.find('&'), about.rfind('&'));
    EXPECT_EQ(about.substr(about.find('&'), 2), "&A");
}
