#include "CardPdf.h"

#include "CardPainter.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace postcard {

std::string WriteCardsPdf(const std::string& path, const std::vector<CardLayout>& cards, const CardFont& font,
                          const CardOptions& options)
{
    QSaveFile file(QString::fromStdString(path));
    const std::string cannot = path + " に書き込めません";
    if (!file.open(QIODevice::WriteOnly))
        return cannot + " (" + file.errorString().toStdString() + ")";
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QSizeF(CARD_WIDTH, CARD_HEIGHT), QPageSize::Millimeter, QStringLiteral("Hagaki"),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("Kanaroku"));
        writer.setTitle(QStringLiteral("はがき宛名"));
        QPainter painter;
        if (!painter.begin(&writer))
            return cannot;
        for (std::size_t i = 0; i < cards.size(); ++i) {
            if (i > 0)
                writer.newPage();
            DrawCard(painter, cards[i], font, options);
        }
        painter.end();
    }
    if (!file.commit())
        return cannot + " (" + file.errorString().toStdString() + ")";
    return {};
}

}  // namespace postcard
