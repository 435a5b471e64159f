#include "RecordingDialog.h"

#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>

#include <cmath>

namespace {

// Indexed by ControlKind.
const char* const kWidgetClass[] = {"QPushButton", "QPushButton", "QLabel",       "QLabel",  "QGroupBox",
                                    "QListView",   "QLineEdit",   "QRadioButton", "QWidget"};

struct TemplateRow {
    const char* name;
    int templateId;
    size_t controlCount;
    const char* caption;
    std::vector<int> tabCycle;  // from the first focus round to it again
};

class BuiltTemplate : public ::testing::TestWithParam<TemplateRow> {};

TEST_P(BuiltTemplate, HasEveryControlInOrderWithItsKindTextStateAndTabStop)
{
    const TemplateRow& row = GetParam();
    const DialogTemplate* source = FindDialogTemplate(row.templateId);
    ASSERT_NE(source, nullptr);
    RecordingDialog dialog(row.templateId);
    dialog.Open();
    QDialog* window = dialog.Window();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(row.caption));
    EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(window->font()).pointSize(), 9);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                                       | Qt::WindowCloseButtonHint),
              Qt::WindowFlags(Qt::WindowCloseButtonHint));

    QList<QWidget*> controls = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    controls.removeIf([](QWidget* child) { return qobject_cast<QMenu*>(child) != nullptr; });
    ASSERT_EQ(static_cast<size_t>(controls.size()), row.controlCount);
    ASSERT_EQ(source->controls.size(), row.controlCount);
    for (qsizetype index = 0; index < controls.size(); ++index) {
        const ControlTemplate& control = source->controls[static_cast<size_t>(index)];
        QWidget* widget = controls[index];
        SCOPED_TRACE(testing::Message() << "control " << index << " id " << control.id);
        EXPECT_TRUE(widget->inherits(kWidgetClass[static_cast<int>(control.kind)]));
        const char* textProperty = control.kind == ControlKind::GroupBox ? "title" : "text";
        EXPECT_EQ(widget->property(textProperty).toString(),
                  control.kind == ControlKind::UpDown ? QString() : QString::fromUtf8(control.text));
        EXPECT_EQ(widget->isEnabled(), (control.flags & CF_DISABLED) == 0);
        if (control.kind != ControlKind::AutoRadio) {
            EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, (control.flags & CF_TABSTOP) != 0);
        }
        EXPECT_EQ(widget->property("readOnly").toBool(), (control.flags & CF_READONLY) != 0);
        EXPECT_EQ(dialog.GetDlgItem(control.id), control.id == IDC_STATIC ? nullptr : widget);
        // One-line labels fit their text rather than wrap out of sight.
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
    }

    std::vector<int> visited;
    while (visited.size() < row.tabCycle.size()) {
        const qsizetype focused = controls.indexOf(QApplication::focusWidget());
        visited.push_back(focused < 0 ? 0 : source->controls[static_cast<size_t>(focused)].id);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, row.tabCycle);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, BuiltTemplate,
    ::testing::Values(TemplateRow{"MainWindow", IDD_ADDRESSBOOK, 65, "なまえ☆ばこ！",
                                  {3,    1,    4,    5,    2,    1007, 1021, 1022, 1023, 1027, 1028, 1044,
                                   1045, 1037, 1047, 1048, 1049, 1025, 1046,
                                   1020, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 3}},
                      TemplateRow{"AboutBox", IDD_ABOUTBOX, 6, "Version Information", {IDOK, IDOK}}),
    kRowName);

TEST(DialogTemplate, IsSizedInDialogUnitsOfItsFontWithListsTrimmedToWholeItems)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Create();
    const QFontMetrics metrics(dialog.Window()->font());
    const double charWidth = std::lround(metrics.horizontalAdvance(QStringLiteral(
                                             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0);
    const auto pixels = [&](int x, int y, int cx, int cy) {
        const auto across = [&](int units) { return static_cast<int>(std::lround(units * charWidth / 4)); };
        const auto down = [&](int units) { return static_cast<int>(std::lround(units * metrics.height() / 8.0)); };
        return QRect(across(x), down(y), across(cx), down(cy));
    };
    EXPECT_EQ(dialog.Window()->size(), pixels(0, 0, 289, 203).size());
    EXPECT_EQ(dialog.GetDlgItem(3)->geometry(), pixels(130, 185, 30, 14));

    QWidget* list = dialog.GetDlgItem(1007);
    const QRect place = pixels(27, 30, 60, 141);
    const int rowHeight = QFontMetrics(list->font()).height() + 2;
    EXPECT_EQ(QRect(list->pos(), QSize(list->width(), place.height())), place) << "all but the height";
    EXPECT_LE(list->height(), place.height());
    EXPECT_GT(list->height(), place.height() - rowHeight);
    EXPECT_EQ((list->height() - 2 * static_cast<QListView*>(list)->frameWidth()) % rowHeight, 0);
}

QPoint CentredOver(const QRect& area, const QSize& size)
{
    return {(area.left() + area.left() + area.width()) / 2 - size.width() / 2,
            (area.top() + area.top() + area.height()) / 2 - size.height() / 2};
}

TEST(DialogPlacement, MainWindowCentresOnTheWorkAreaAndAboutBoxOverItsOwnerKeptInside)
{
    RecordingDialog main(IDD_ADDRESSBOOK);
    main.Create();
    const QRect work = main.Window()->screen()->availableGeometry();
    const QRect owner = main.Window()->frameGeometry();
    EXPECT_EQ(owner.topLeft(), CentredOver(work, owner.size()));
    RecordingDialog about(IDD_ABOUTBOX, &main);
    about.Create();
    EXPECT_EQ(about.Window()->frameGeometry().topLeft(), CentredOver(owner, about.Window()->frameGeometry().size()));
    main.Window()->move(work.topLeft() - QPoint(400, 300));
    RecordingDialog clamped(IDD_ABOUTBOX, &main);
    clamped.Create();
    EXPECT_EQ(clamped.Window()->frameGeometry().topLeft(), work.topLeft());
}

TEST(RadioGroup, ClickingOrSettingAButtonClearsTheOthersOfItsGroupOnly)
{
    RecordingDialog dialog(IDD_ADDRESSBOOK);
    dialog.Open();
    for (const int first : {1023, 1037, 1025})
        EXPECT_EQ(dialog.GetCheckedRadio(first), -1) << "fresh group " << first;
    dialog.SetCheckedRadio(1023, 0);
    dialog.SetCheckedRadio(1025, 3);
    // Index set, then the one checked; out of range clears the group.
    const std::pair<int, int> rows[] = {{1, 1}, {0, 0}, {3, 3}, {-1, -1}, {2, 2}, {4, -1}, {99, -1}};
    for (const auto& [index, expected] : rows) {
        dialog.SetCheckedRadio(1037, index);
        EXPECT_EQ(dialog.GetCheckedRadio(1037), expected) << index;
        int checked = 0;
        for (const int id : {1037, 1041, 1042, 1043})
            checked += static_cast<QRadioButton*>(dialog.GetDlgItem(id))->isChecked() ? 1 : 0;
        EXPECT_EQ(checked, expected < 0 ? 0 : 1) << index;
    }
    EXPECT_TRUE(dialog.notes.empty());
    for (const int id : {1024, 1037, 1042, 1042})  // the checked one stays checked when clicked again
        QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedRadio(1023), 1);
    EXPECT_EQ(dialog.GetCheckedRadio(1037), 2);
    EXPECT_EQ(dialog.GetCheckedRadio(1025), 3);
    EXPECT_EQ(dialog.notes, (Notes{{1024, BN_CLICKED}, {1037, BN_CLICKED}, {1042, BN_CLICKED}, {1042, BN_CLICKED}}));
}

}  // namespace
