#include "RecordingDialog.h"
#include "Resources.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<QWidget*> Controls(const CDialog& dialog)
{
    std::vector<QWidget*> controls;
    for (QWidget* child : dialog.Window()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            controls.push_back(child);
    }
    return controls;
}

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// What each kind of template control must turn into.
void ExpectWidgetFor(const ControlTemplate& control, QWidget* widget)
{
    SCOPED_TRACE(control.id);
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = qobject_cast<QPushButton*>(widget);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), Utf8(control.text));
        EXPECT_FALSE(button->autoDefault());
        break;
    }
    case ControlKind::Static: {
        auto* label = qobject_cast<QLabel*>(widget);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), Utf8(control.text));
        break;
    }
    case ControlKind::Icon: {
        auto* label = qobject_cast<QLabel*>(widget);
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->pixmap().isNull());
        EXPECT_EQ(widget->size(), QSize(32, 32));
        break;
    }
    case ControlKind::GroupBox: {
        auto* box = qobject_cast<QGroupBox*>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), Utf8(control.text));
        break;
    }
    case ControlKind::ListBox: {
        auto* view = qobject_cast<QListView*>(widget);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
        break;
    }
    case ControlKind::Edit: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->isReadOnly(), (control.flags & CF_READONLY) != 0);
        break;
    }
    case ControlKind::AutoRadio: {
        auto* radio = qobject_cast<QRadioButton*>(widget);
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->text(), Utf8(control.text));
        EXPECT_FALSE(radio->autoExclusive());
        break;
    }
    case ControlKind::UpDown:
        EXPECT_EQ(widget->findChildren<QToolButton*>().size(), 2);
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);
        break;
    }
    EXPECT_EQ(widget->isEnabled(), (control.flags & CF_DISABLED) == 0);
}

struct TemplateRow {
    const char* name;
    int templateId;
    size_t controlCount;
    const char* caption;
};

class BuiltTemplate : public ::testing::TestWithParam<TemplateRow> {};

TEST_P(BuiltTemplate, HasEveryControlInTableOrderWithItsKindTextAndState)
{
    RecordingDialog dialog(GetParam().templateId);
    dialog.Create();
    const DialogTemplate* source = FindDialogTemplate(GetParam().templateId);
    ASSERT_NE(source, nullptr);
    const std::vector<QWidget*> controls = Controls(dialog);
    ASSERT_EQ(controls.size(), GetParam().controlCount);
    ASSERT_EQ(source->controls.size(), GetParam().controlCount);
    for (size_t index = 0; index < controls.size(); ++index) {
        const ControlTemplate& control = source->controls[index];
        ExpectWidgetFor(control, controls[index]);
        if (control.id != IDC_STATIC) {
            EXPECT_EQ(dialog.GetDlgItem(control.id), controls[index]);
        }
    }
    EXPECT_EQ(dialog.Window()->windowTitle(), Utf8(GetParam().caption));
}

TEST_P(BuiltTemplate, IsLaidOutInDialogUnitsOfItsFontAndCannotBeResized)
{
    RecordingDialog dialog(GetParam().templateId);
    dialog.Create();
    QDialog* window = dialog.Window();
    const QFontMetrics metrics(window->font());
    const double charWidth =
        std::lround(metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))
                    / 52.0);
    const double charHeight = metrics.height();
    auto across = [&](int units) { return static_cast<int>(std::lround(units * charWidth / 4)); };
    auto down = [&](int units) { return static_cast<int>(std::lround(units * charHeight / 8)); };

    const DialogTemplate* source = FindDialogTemplate(GetParam().templateId);
    EXPECT_EQ(window->size(), QSize(across(source->cx), down(source->cy)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(window->font()).pointSize(), 9);

    const std::vector<QWidget*> controls = Controls(dialog);
    for (size_t index = 0; index < controls.size(); ++index) {
        const ControlTemplate& control = source->controls[index];
        const QRect expected(across(control.x), down(control.y), across(control.cx), down(control.cy));
        const QRect actual = controls[index]->geometry();
        SCOPED_TRACE(index);
        EXPECT_EQ(actual.topLeft(), expected.topLeft());
        if (control.kind == ControlKind::Icon)
            continue;
        if (control.kind == ControlKind::Static) {
            // A label is never narrower than its place nor than its text.
            auto* label = static_cast<QLabel*>(controls[index]);
            EXPECT_GE(actual.width(), expected.width());
            EXPECT_GE(actual.width(), label->fontMetrics().horizontalAdvance(label->text()));
        } else {
            EXPECT_EQ(actual.width(), expected.width());
        }
        if (control.kind == ControlKind::ListBox) {
            // Trimmed to whole items, never taller than the template.
            auto* view = static_cast<QListView*>(controls[index]);
            const int rowHeight = QFontMetrics(view->font()).height() + 2;
            EXPECT_LE(actual.height(), expected.height());
            EXPECT_GT(actual.height(), expected.height() - rowHeight);
            EXPECT_EQ((actual.height() - 2 * view->frameWidth()) % rowHeight, 0);
        } else {
            EXPECT_EQ(actual.height(), expected.height());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, BuiltTemplate,
                         ::testing::Values(TemplateRow{"MainWindow", IDD_ADDRESSBOOK, 65, "なまえ☆ばこ！"},
                                           TemplateRow{"AboutBox", IDD_ABOUTBOX, 6, "Version Information"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogTemplate, UnknownTemplateCreatesNoWindowAndModalRunFails)
{
    RecordingDialog dialog(4242);
    dialog.Create();
    EXPECT_EQ(dialog.Window(), nullptr);
    EXPECT_EQ(dialog.GetDlgItem(3), nullptr);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(DialogTemplate, LabelsKeepTheirBlanks)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    QStringList texts;
    for (const QLabel* label : dialog.Window()->findChildren<QLabel*>())
        texts << label->text();
    for (const char* text : {"名    前", "性    別", "住    所", "血 液 型"})
        EXPECT_TRUE(texts.contains(Utf8(text))) << text;
    EXPECT_EQ(dialog.Window()->findChild<QGroupBox*>()->title(), QStringLiteral(" A d d r e s s  D a t a "));
}

int FocusedId(const CDialog& dialog, const std::vector<int>& ids)
{
    for (const int id : ids) {
        if (dialog.GetDlgItem(id) == QApplication::focusWidget())
            return id;
    }
    return 0;
}

TEST(DialogTemplate, TabVisitsTheTabStopsInTableOrderStartingAtNew)
{
    const std::vector<int> expected = {3,    1,    4,    5,    2,    1007, 1021, 1022, 1023, 1024, 1027,
                                       1028, 1044, 1045, 1037, 1041, 1042, 1043, 1047, 1048, 1049, 1025,
                                       1026, 1030, 1031, 1046, 1020, 1009, 1010, 1011, 1012, 1013, 1014,
                                       1015, 1016, 1017, 1018, 1019};
    std::vector<int> allIds;
    for (const ControlTemplate& control : FindDialogTemplate(IDD_ADDRESSBOOK)->controls)
        allIds.push_back(control.id);
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();

    std::vector<int> visited{FocusedId(dialog, allIds)};
    for (size_t step = 0; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(FocusedId(dialog, allIds));
    }
    std::vector<int> wrapped = expected;
    wrapped.push_back(expected.front());
    EXPECT_EQ(visited, wrapped);
}

TEST(DialogTemplate, ReadOnlyAgeEditTakesNoTabButTheDisabledPhoneEditsOnceEnabledDo)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    EXPECT_FALSE(dialog.GetDlgItem(1052)->focusPolicy() & Qt::TabFocus);
    dialog.GetDlgItem(1032)->setEnabled(true);
    dialog.GetDlgItem(1043)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(1032));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(1047));
}

QRect WorkArea(const QWidget& window)
{
    return window.screen()->availableGeometry();
}

TEST(DialogPlacement, MainWindowIsCentredOnTheWorkArea)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    const QRect work = WorkArea(*dialog.Window());
    const QSize size = dialog.Window()->frameGeometry().size();
    EXPECT_EQ(dialog.Window()->frameGeometry().topLeft(),
              QPoint((work.left() + work.left() + work.width()) / 2 - size.width() / 2,
                     (work.top() + work.top() + work.height()) / 2 - size.height() / 2));
}

TEST(DialogPlacement, AboutBoxIsCentredOverItsOwnerAndKeptInsideTheWorkArea)
{
    RecordingDialog main(IDD_ADDRESSBOOK);
    main.Create();
    const QRect owner = main.Window()->frameGeometry();
    {
        RecordingDialog about(IDD_ABOUTBOX, &main);
        about.Create();
        const QSize size = about.Window()->frameGeometry().size();
        EXPECT_EQ(about.Window()->frameGeometry().topLeft(),
                  QPoint((owner.left() + owner.left() + owner.width()) / 2 - size.width() / 2,
                         (owner.top() + owner.top() + owner.height()) / 2 - size.height() / 2));
    }
    const QRect work = WorkArea(*main.Window());
    main.Window()->move(work.left() - 400, work.top() - 300);
    RecordingDialog about(IDD_ABOUTBOX, &main);
    about.Create();
    EXPECT_EQ(about.Window()->frameGeometry().topLeft(), work.topLeft());
}

// Radio groups

TEST(RadioGroup, ClickingAButtonClearsTheOthersOfItsGroupOnly)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    dialog.SetCheckedRadio(1023, 0);
    dialog.SetCheckedRadio(1025, 3);
    static_cast<QLineEdit*>(dialog.GetDlgItem(1034))->setText(QStringLiteral("1234"));

    QTest::mouseClick(dialog.GetDlgItem(1024), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedRadio(1023), 1);
    QTest::mouseClick(dialog.GetDlgItem(1037), Qt::LeftButton);
    QTest::mouseClick(dialog.GetDlgItem(1042), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedRadio(1037), 2);
    EXPECT_FALSE(static_cast<QRadioButton*>(dialog.GetDlgItem(1037))->isChecked());
    // Clicking the checked button keeps it checked.
    QTest::mouseClick(dialog.GetDlgItem(1042), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedRadio(1037), 2);

    EXPECT_EQ(dialog.GetCheckedRadio(1023), 1);
    EXPECT_EQ(dialog.GetCheckedRadio(1025), 3);
    EXPECT_EQ(static_cast<QLineEdit*>(dialog.GetDlgItem(1034))->text(), QStringLiteral("1234"));
    EXPECT_FALSE(dialog.GetDlgItem(1034)->isEnabled());
    const std::vector<std::pair<int, int>> clicks = {
        {1024, BN_CLICKED}, {1037, BN_CLICKED}, {1042, BN_CLICKED}, {1042, BN_CLICKED}};
    EXPECT_EQ(dialog.notes, clicks);
}

struct SetRow {
    const char* name;
    int index;
    int expected;
};

class SetCheckedRadio : public ::testing::TestWithParam<SetRow> {};

TEST_P(SetCheckedRadio, ChecksThatButtonOrClearsTheGroup)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    dialog.SetCheckedRadio(1037, 1);
    dialog.SetCheckedRadio(1023, 0);
    dialog.SetCheckedRadio(1037, GetParam().index);
    EXPECT_EQ(dialog.GetCheckedRadio(1037), GetParam().expected);
    int checked = 0;
    for (const int id : {1037, 1041, 1042, 1043})
        checked += static_cast<QRadioButton*>(dialog.GetDlgItem(id))->isChecked() ? 1 : 0;
    EXPECT_EQ(checked, GetParam().expected < 0 ? 0 : 1);
    EXPECT_EQ(dialog.GetCheckedRadio(1023), 0);
    EXPECT_TRUE(dialog.notes.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SetCheckedRadio,
                         ::testing::Values(SetRow{"First", 0, 0}, SetRow{"Last", 3, 3},
                                           SetRow{"MinusOneClears", -1, -1}, SetRow{"PastTheEndClears", 4, -1},
                                           SetRow{"FarOutClears", 99, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RadioGroup, FreshGroupsHaveNothingChecked)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    for (const int first : {1023, 1037, 1025})
        EXPECT_EQ(dialog.GetCheckedRadio(first), -1) << first;
}

}  // namespace
