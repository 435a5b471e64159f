#include "ChoicePopup.h"

#include "Controls.h"
#include "SjisText.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

void CChoicePopup::Show(const CEdit& edit, const std::vector<std::string>& sjisChoices, Chosen chosen)
{
    Hide();
    QLineEdit* widget = edit.Widget();
    if (widget == nullptr || sjisChoices.empty())
        return;
    QStringList texts;
    for (const std::string& choice : sjisChoices)
        texts << sjis::ToQString(choice);
    auto* completer = new QCompleter(widget);
    completer->setModel(new QStringListModel(texts, completer));
    // Every choice, whatever the edit holds; the edit's own text stays.
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setWidget(widget);
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), completer,
                     [texts, sjisChoices, chosen = std::move(chosen)](const QString& text) {
                         const qsizetype at = texts.indexOf(text);
                         if (at >= 0 && chosen)
                             chosen(sjisChoices[static_cast<std::size_t>(at)]);
                     });
    m_completer = completer;
    completer->complete();
}

void CChoicePopup::Hide()
{
    if (m_completer) {
        m_completer->popup()->hide();
        // Only our own connection: Qt's accessibility listens to others.
        QObject::disconnect(m_completer, qOverload<const QString&>(&QCompleter::activated), nullptr, nullptr);
        m_completer->deleteLater();
    }
    m_completer = nullptr;
}

bool CChoicePopup::IsVisible() const
{
    return m_completer && m_completer->popup()->isVisible();
}
