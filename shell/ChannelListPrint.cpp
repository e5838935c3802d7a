#include "shell/ChannelListPrint.h"

#include "core/ChannelRecord.h"
#include "shell/Caption.h"
#include "shell/ChineseFont.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace kestrel {

namespace {
// The rows of the list. Reading a channel for display cleans the record, so the rows
// come from a copy: printing must not change the image.
QList<std::pair<int, ChannelTexts>> PrintedRows(const AppContext& app, bool allChannels) {
    MemoryImage copy = app.image;
    QList<std::pair<int, ChannelTexts>> rows;
    for (int ch = 0; ch < ChannelCount; ++ch) {
        ChannelTexts row = ReadChannelForDisplay(copy, app.band, app.toneTable, app.language, ch);
        if (allChannels || !row.isEmpty())
            rows.append({ch, std::move(row)});
    }
    return rows;
}
} // namespace

QString ChannelListHtml(const AppContext& app, bool allChannels) {
    const Language l = app.language;
    const auto rows = PrintedRows(app, allChannels);
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>");
    if (rows.isEmpty()) {
        html += QStringLiteral("<p>%1</p></body></html>").arg(Pick(l, "No channel is in use.", "没有使用中的信道。"));
        return html;
    }
    html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"2\" style=\"font-size:8pt\">"
                           "<thead><tr>");
    html += QStringLiteral("<th>%1</th>").arg(Pick(l, "Group", "分组").toHtmlEscaped());
    for (int c = 0; c <= ColTxInhibit; ++c)
        html += QStringLiteral("<th>%1</th>").arg(ChannelColumnHeader(c, l).toHtmlEscaped());
    html += QStringLiteral("</tr></thead><tbody>");
    for (const auto& [ch, row] : rows) {
        html += QStringLiteral("<tr><td align=\"center\">%1</td><td align=\"center\">%2</td>")
                    .arg(GroupIndexOfChannel(ch) + 1)
                    .arg(RowOfChannel(ch));
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
            html += QStringLiteral("<td align=\"center\">%1</td>").arg(row.text(c).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</tbody></table></body></html>");
    return html;
}

int PrintedChannelCount(const AppContext& app, bool allChannels) {
    return int(PrintedRows(app, allChannels).size());
}

QString PageNumberText(int page, int pages, Language language) {
    return language == Chinese ? QString::fromUtf8("第 %1 页，共 %2 页").arg(page).arg(pages)
                               : QStringLiteral("Page %1 of %2").arg(page).arg(pages);
}

bool PrintChannels(const AppContext& app, const QString& bandText, QPrinter& printer, bool allChannels,
                   const QDate& date) {
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&printer))
        return false;
    QFont font = WithSimplifiedChinese(QFont());
    font.setPointSizeF(9);
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDefaultFont(font);
    doc.setHtml(ChannelListHtml(app, allChannels));

    p.setFont(QFont(font, &printer));
    const qreal line = p.fontMetrics().height();
    const qreal width = printer.width();
    const qreal height = printer.height();
    // Two lines for the caption above every page, two for the page number below.
    const QRectF body(0, 2 * line, width, height - 4 * line);
    doc.setPageSize(body.size());
    const int pages = doc.pageCount();
    const QString caption = BuildCaption(app.productName, bandText, app.currentFileName, app.language);
    const QString day = date.toString(Qt::ISODate);
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        const QRectF top(0, 0, width, line);
        p.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, caption);
        p.drawText(top, Qt::AlignRight | Qt::AlignVCenter, day);
        p.drawLine(QPointF(0, 1.5 * line), QPointF(width, 1.5 * line));
        p.save();
        p.translate(0, body.top() - i * body.height());
        doc.drawContents(&p, QRectF(0, i * body.height(), body.width(), body.height()));
        p.restore();
        p.drawText(QRectF(0, height - line, width, line), Qt::AlignHCenter | Qt::AlignVCenter,
                   PageNumberText(i + 1, pages, app.language));
    }
    return p.end();
}

} // namespace kestrel
