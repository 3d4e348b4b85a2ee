#include "report/frxBrackets.h"

namespace qev {

namespace {

// Position of the closing delimiter of the bracket opening at `start`, or -1
// when the bracket is never closed (or no bracket opens there).
qsizetype closingDelimiter(const QString& text, qsizetype start, const QString& open,
                           const QString& close) {
    int depth = 0;
    bool started = false;
    bool inDouble = false, inSingle = false;
    for (qsizetype j = start; j < text.size(); ++j) {
        if (!inDouble && !inSingle) {
            if (QStringView(text).mid(j).startsWith(open)) {
                ++depth;
                started = true;
            } else if (QStringView(text).mid(j).startsWith(close)) {
                --depth;
            }
        }
        if (text[j] == u'"' && !inSingle)
            inDouble = !inDouble;
        else if (text[j] == u'\'' && !inDouble)
            inSingle = !inSingle;
        if (!started) return -1;
        if (depth == 0) return j;
    }
    return -1;
}

}  // namespace

QString frxExpandBrackets(const QString& text, const QString& open, const QString& close,
                          const std::function<QString(const QString&)>& calc) {
    if (open.isEmpty() || close.isEmpty()) return text;
    QString result = text;
    qsizetype i = 0;
    while (i < result.size()) {
        i = result.indexOf(open, i);
        if (i < 0) break;
        const qsizetype j = closingDelimiter(result, i, open, close);
        if (j < 0) break;
        const qsizetype exprStart = i + open.size();
        const QString value = calc(result.mid(exprStart, j - exprStart));
        result.replace(i, j + close.size() - i, value);
        i += value.size();
    }
    return result;
}

}  // namespace qev
