#include "shell/ChannelListPrint.h"

#include "core/ChannelRecord.h"
#include "shell/Caption.h"

#include <QPrinter>
#include <QTextDocument>

namespace kestrel {

QString ChannelListHtml(const AppContext& app, const QString& bandText) {
    const Language l = app.language;
    // Reading a channel for display cleans the record; the printout must not change the image.
    MemoryImage copy = app.image;
    QString html;
    html += QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>");
    html += QStringLiteral("<h3>%1</h3>").arg(BuildCaption(app.productName, bandText, app.currentFileName, l).toHtmlEscaped());
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" style=\"font-size:7pt\"><tr>");
    html += QStringLiteral("<th>%1</th>").arg(Pick(l, "Group", "分组").toHtmlEscaped());
    for (int c = 0; c <= ColTxInhibit; ++c)
        html += QStringLiteral("<th>%1</th>").arg(ChannelColumnHeader(c, l).toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const ChannelTexts row = ReadChannelForDisplay(copy, app.band, app.toneTable, l, ch);
        html += QStringLiteral("<tr><td align=\"center\">%1</td><td align=\"center\">%2</td>")
                    .arg(GroupIndexOfChannel(ch) + 1)
                    .arg(RowOfChannel(ch));
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
            html += QStringLiteral("<td align=\"center\">%1</td>").arg(row.text(c).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table></body></html>");
    return html;
}

void PrintChannels(const AppContext& app, const QString& bandText, QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    QTextDocument doc;
    doc.setHtml(ChannelListHtml(app, bandText));
    doc.print(&printer);
}

} // namespace kestrel
