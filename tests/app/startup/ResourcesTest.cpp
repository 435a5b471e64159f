#include "AppIcon.h"
#include "Resources.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <iconv.h>

#include <stdexcept>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Whether every character of the UTF-8 text has a code page 932 form.
bool FitsCodePage932(const char* utf8)
{
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in(utf8);
    std::vector<char> out(in.size() * 2 + 4);
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    return result != static_cast<std::size_t>(-1) && inLeft == 0;
}

const DialogTemplate& Template(int id)
{
    const DialogTemplate* dialog = FindDialogTemplate(id);
    if (dialog == nullptr)
        throw std::runtime_error("missing dialog template");
    return *dialog;
}

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
    return count;
}

// Fully transparent pixels compare equal whatever colour they carry.
QRgb Normalised(QRgb pixel)
{
    return qAlpha(pixel) == 0 ? 0 : pixel;
}

}  // namespace

TEST(AppIcon, BothImagesAreCompiledInWithAtMostSixteenColoursAndMatchTheirPngCopies)
{
    const QIcon icon = LoadAppIcon();
    for (const int size : {16, 32}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                colours.insert(Normalised(image.pixel(x, y)));
        EXPECT_LE(colours.size(), 16u);
        EXPECT_GT(OpaquePixels(image), size * size / 2);

        const QString png = QStringLiteral(KANAROKU_RESOURCES_DIR "/kanaroku-%1.png").arg(size);
        const QImage copy = QImage(png).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(copy.size(), image.size()) << png.toStdString();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(Normalised(copy.pixel(x, y)), Normalised(image.pixel(x, y))) << "pixel " << x << "," << y;
    }
}

TEST(DialogTemplates, EveryControlLiesInsideItsWindow)
{
    for (const int id : {IDD_ADDRESSBOOK, IDD_ABOUTBOX}) {
        const DialogTemplate& dialog = Template(id);
        for (const ControlTemplate& control : dialog.controls) {
            SCOPED_TRACE(testing::Message() << "dialog " << id << " control at " << control.x << "," << control.y);
            EXPECT_GE(control.x, 0);
            EXPECT_GE(control.y, 0);
            EXPECT_LE(control.x + control.cx, dialog.cx);
            EXPECT_LE(control.y + control.cy, dialog.cy);
        }
    }
}

TEST(DialogTemplates, ControlIdsAreUniqueWithinAWindow)
{
    for (const int id : {IDD_ADDRESSBOOK, IDD_ABOUTBOX}) {
        std::set<int> seen;
        for (const ControlTemplate& control : Template(id).controls) {
            if (control.id == IDC_STATIC)
                continue;
            EXPECT_TRUE(seen.insert(control.id).second) << "dialog " << id << " repeats id " << control.id;
        }
    }
}

// Qt reads "&" as a mnemonic marker; only the About menu item has one.
TEST(DialogTemplates, EveryTextFitsCodePage932AndNoLabelHasAMnemonic)
{
    for (const int id : {IDD_ADDRESSBOOK, IDD_ABOUTBOX}) {
        const DialogTemplate& dialog = Template(id);
        EXPECT_TRUE(FitsCodePage932(dialog.caption)) << dialog.caption;
        for (const ControlTemplate& control : dialog.controls) {
            EXPECT_TRUE(FitsCodePage932(control.text)) << control.text;
            EXPECT_EQ(std::strchr(control.text, '&'), nullptr) << control.text;
        }
    }
    for (const int id : {IDS_ABOUTBOX, IDS_SOCKETS_INIT_FAILED, IDS_APP_TITLE, IDS_PARSE_UINT, IDS_PARSE_RANGE,
                         IDS_PARSE_TEXT_LENGTH, IDS_INTERNAL_ERROR}) {
        const char* text = FindString(id);
        ASSERT_NE(text, nullptr) << "string " << id;
        EXPECT_GT(std::strlen(text), 0u) << "string " << id;
        EXPECT_TRUE(FitsCodePage932(text)) << text;
    }
    const std::string about = FindString(IDS_ABOUTBOX);
    EXPECT_EQ(about.find('&'), about.rfind('&'));
    EXPECT_EQ(about.substr(about.find('&'), 2), "&A");
}
