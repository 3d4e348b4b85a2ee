#include "report/frxFormatData.h"

#include "format/Currency.h"
#include "format/Error.h"
#include "format/FormatSettings.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace qev {

namespace {

bool isWholeNumberType(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            return true;
        default:
            return false;
    }
}

bool isCurrency(const QVariant& v) {
    return v.metaType() == QMetaType::fromType<Currency>();
}

// A text in the regional number form ("1234.5", "-3"), or a number value.
std::optional<double> toNumber(const QVariant& v) {
    if (isCurrency(v)) return v.value<Currency>().toDouble();
    if (isWholeNumberType(v) || v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return v.toDouble();
    if (v.typeId() == QMetaType::QString) {
        QString text = v.toString().trimmed();
        text.replace(formatSettings().decimalSeparator, u'.');
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (ok) return d;
    }
    return std::nullopt;
}

QString digits(qint64 value, int width) {
    return QString::number(value).rightJustified(width, u'0');
}

// Inserts the regional thousand separator into a run of digits.
QString grouped(const QString& integerDigits) {
    QString out;
    const qsizetype n = integerDigits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += formatSettings().thousandSeparator;
        out += integerDigits[i];
    }
    return out;
}

// "1234.5678" as fixed text with `decimals` decimals, regional separators.
QString fixedText(double value, int decimals, bool group) {
    QString text = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = text.indexOf(u'.');
    QString integer = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if (group) integer = grouped(integer);
    QString out = integer;
    if (!fraction.isEmpty()) out += formatSettings().decimalSeparator + fraction;
    const bool negative = value < 0 && text.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negative ? u'-' + out : out;
}

QString floatToStr(double value) {
    if (value == 0) return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    QString text;
    if (magnitude >= 1e15 || magnitude < 1e-4) {
        text = QString::number(value, 'E', 14);  // d.ddddE+xx
        const qsizetype e = text.indexOf(u'E');
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        if (mantissa.contains(u'.')) {
            while (mantissa.endsWith(u'0')) mantissa.chop(1);
            if (mantissa.endsWith(u'.')) mantissa.chop(1);
        }
        const int exp = exponent.toInt();
        text = mantissa + u'E' + (exp < 0 ? QStringLiteral("-") : QString()) +
               QString::number(std::abs(exp));
    } else {
        text = QString::number(value, 'g', 15);
    }
    return text.replace(u'.', formatSettings().decimalSeparator);
}

QString timeText(const QTime& time) {
    return frxFormatDateTime(formatSettings().longTimeFormat, QDateTime(QDate(1899, 12, 30), time));
}

// The format's own separators in place of the regional ones. Both are put
// in one pass, so that swapping them ("." for thousands, "," for decimals)
// does not turn the new decimal separator into a thousand separator.
QString withSeparators(const QString& text, const TfrxFormat& format) {
    const FormatSettings& fs = formatSettings();
    const bool ownDecimal =
        format.DecimalSeparator.size() == 1 && format.DecimalSeparator[0] != fs.decimalSeparator;
    const bool ownThousand =
        format.ThousandSeparator.size() == 1 && format.ThousandSeparator[0] != fs.thousandSeparator;
    const qsizetype decimalAt = ownDecimal ? text.lastIndexOf(fs.decimalSeparator) : -1;
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (i == decimalAt)
            out[i] = format.DecimalSeparator[0];
        else if (ownThousand && text[i] == fs.thousandSeparator)
            out[i] = format.ThousandSeparator[0];
    }
    return out;
}

}  // namespace

QString frxPlainText(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return {};
    if (isCurrency(value))
        return value.value<Currency>().toString().replace(u'.', formatSettings().decimalSeparator);
    if (isWholeNumberType(value)) return value.toString();
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Double:
        case QMetaType::Float:
            return floatToStr(value.toDouble());
        case QMetaType::QDate:
            return formatSettings().shortDateText(value.toDate());
        case QMetaType::QTime:
            return timeText(value.toTime());
        case QMetaType::QDateTime: {
            const QDateTime dt = value.toDateTime();
            // Day 0 of the date-time count: a time of day alone.
            if (dt.date() == QDate(1899, 12, 30)) return timeText(dt.time());
            const QString date = formatSettings().shortDateText(dt.date());
            return dt.time() == QTime(0, 0) ? date : date + u' ' + timeText(dt.time());
        }
        default:
            return value.toString();
    }
}

QDateTime frxToDateTime(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return QDateTime(value.toDate(), QTime(0, 0));
        case QMetaType::QDateTime:
            return value.toDateTime();
        case QMetaType::QTime:
            return QDateTime(QDate(1899, 12, 30), value.toTime());
        case QMetaType::QString: {
            const QString text = value.toString().trimmed();
            const QString sep = formatSettings().dateSeparator;
            for (const QString& form :
                 {QStringLiteral("dd%1MM%1yyyy hh:mm:ss"), QStringLiteral("dd%1MM%1yyyy")}) {
                const QDateTime dt = QDateTime::fromString(text, form.arg(sep));
                if (dt.isValid()) return dt;
            }
            return QDateTime::fromString(text, Qt::ISODate);
        }
        default:
            break;
    }
    if (const auto days = toNumber(value)) {
        // 1 January 0001 to 31 December 9999; other numbers are no date.
        if (!(*days >= -693593 && *days < 2958466)) return {};
        const double whole = std::floor(*days);
        const qint64 ms = qint64(std::nearbyint((*days - whole) * 86400000.0));
        return QDateTime(QDate(1899, 12, 30).addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
    }
    return {};
}

QString frxFormatDateTime(const QString& picture, const QDateTime& value) {
    const FormatSettings& fs = formatSettings();
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    auto run = [&](QChar letter) {
        qsizetype n = 0;
        while (i + n < picture.size() && picture[i + n].toLower() == letter) ++n;
        return n;
    };
    while (i < picture.size()) {
        const QChar c = picture[i];
        const QChar lower = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = picture.indexOf(c, i + 1);
            out += picture.mid(i + 1, (end < 0 ? picture.size() : end) - i - 1);
            i = end < 0 ? picture.size() : end + 1;
            continue;
        }
        if (picture.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? fs.timeAmString : fs.timePmString;
            i += 5;
            continue;
        }
        if (picture.mid(i, 3).compare(u"a/p", Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? u'a' : u'p';
            i += 3;
            continue;
        }
        const qsizetype n = lower.isLetter() ? run(lower) : 1;
        if (lower == u'd') {
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += digits(date.day(), 2);
            else if (n == 3)
                out += fs.shortDayNames.value(date.dayOfWeek() % 7);
            else if (n == 4)
                out += fs.longDayNames.value(date.dayOfWeek() % 7);
            else
                out += fs.shortDateText(date);
        } else if (lower == u'm' && !afterHour) {
            if (n == 1)
                out += QString::number(date.month());
            else if (n == 2)
                out += digits(date.month(), 2);
            else if (n == 3)
                out += fs.shortMonthNames.value(date.month() - 1);
            else
                out += fs.longMonthNames.value(date.month() - 1);
        } else if (lower == u'm' || lower == u'n') {
            out += n == 1 ? QString::number(time.minute()) : digits(time.minute(), 2);
            afterHour = false;
        } else if (lower == u'y') {
            out += n <= 2 ? digits(date.year() % 100, 2) : digits(date.year(), 4);
        } else if (lower == u'h') {
            out += n == 1 ? QString::number(time.hour()) : digits(time.hour(), 2);
            afterHour = true;
        } else if (lower == u's') {
            out += n == 1 ? QString::number(time.second()) : digits(time.second(), 2);
        } else if (lower == u'z') {
            out += n < 3 ? QString::number(time.msec()) : digits(time.msec(), 3);
        } else if (c == u'/') {
            out += fs.dateSeparator;
        } else if (c == u':') {
            out += fs.timeSeparator;
        } else {
            out += picture.mid(i, n);
        }
        i += n;
    }
    return out;
}

QString frxFormatFloat(const QString& picture, double value) {
    QStringList sections = picture.split(u';');
    QString section = sections.value(0);
    bool writeSign = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        writeSign = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    // Literal text before the first and after the last digit placeholder.
    qsizetype first = -1, last = -1;
    for (qsizetype k = 0; k < section.size(); ++k) {
        if (section[k] == u'0' || section[k] == u'#') {
            if (first < 0) first = k;
            last = k;
        }
    }
    if (first < 0) return section;
    const QString prefix = QString(section.left(first)).remove(u'"').remove(u'\'');
    const QString suffix = QString(section.mid(last + 1)).remove(u'"').remove(u'\'');
    const QString body = section.mid(first, last - first + 1);
    const qsizetype point = body.indexOf(u'.');
    const QString integerPart = point < 0 ? body : body.left(point);
    const QString fractionPart = point < 0 ? QString() : body.mid(point + 1);
    const int minInteger = int(integerPart.count(u'0'));
    const int minDecimals = int(fractionPart.count(u'0'));
    const int maxDecimals = minDecimals + int(fractionPart.count(u'#'));
    const bool group = body.contains(u',');

    QString text = QString::number(std::fabs(value), 'f', maxDecimals);
    qsizetype dot = text.indexOf(u'.');
    QString integer = dot < 0 ? text : text.left(dot);
    QString fraction = dot < 0 ? QString() : text.mid(dot + 1);
    while (fraction.size() > minDecimals && fraction.endsWith(u'0')) fraction.chop(1);
    if (integer == u"0" && minInteger == 0) integer.clear();
    integer = integer.rightJustified(minInteger, u'0');
    if (group) integer = grouped(integer);
    QString number = integer;
    if (!fraction.isEmpty()) number += formatSettings().decimalSeparator + fraction;
    const bool showsNonZero = number.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return (writeSign && showsNonZero ? QStringLiteral("-") : QString()) + prefix + number + suffix;
}

QString frxFormatPrintf(const QString& format, const QVariant& value) {
    QString out;
    qsizetype i = 0;
    while (i < format.size()) {
        if (format[i] != u'%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        static const QRegularExpression conversion(
            QStringLiteral("^%(-?)(\\d*)(?:\\.(\\d+))?([dDuUxXfFeEgGnNmMsS])"));
        const QRegularExpressionMatch m = conversion.match(QStringView(format).mid(i));
        if (!m.hasMatch())
            throw ConversionError(
                QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
        const auto invalid = [&] {
            return ConversionError(
                QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
        };
        // A width or precision beyond any line of a report would only
        // exhaust memory.
        constexpr int MaxWidth = 1024;
        if (m.capturedLength(2) > 4 || m.capturedLength(3) > 4) throw invalid();
        const bool left = !m.captured(1).isEmpty();
        const int width = m.captured(2).toInt();
        const bool hasPrecision = m.capturedLength(3) > 0;
        const int precision = m.captured(3).toInt();
        if (width > MaxWidth || precision > MaxWidth) throw invalid();
        const QChar type = m.captured(4)[0].toLower();
        QString piece;
        if (type == u's') {
            piece = frxPlainText(value);
            if (hasPrecision) piece = piece.left(precision);
        } else {
            const auto number = toNumber(value);
            if (!number) throw invalid();
            if (type == u'd' || type == u'u' || type == u'x') {
                const double rounded = std::nearbyint(*number);
                if (!(rounded >= -0x1p63 && rounded < 0x1p63)) throw invalid();  // not 64 bits
                const qint64 whole = qint64(rounded);
                const quint64 magnitude = whole < 0 ? 0 - quint64(whole) : quint64(whole);
                piece = type == u'x' ? QString::number(whole, 16).toUpper()
                                     : QString::number(magnitude);
                if (hasPrecision) piece = piece.rightJustified(precision, u'0');
                if (whole < 0 && type != u'x') piece.prepend(u'-');
            } else if (type == u'f') {
                piece = fixedText(*number, hasPrecision ? precision : 2, false);
            } else if (type == u'n') {
                piece = fixedText(*number, hasPrecision ? precision : 2, true);
            } else if (type == u'm') {
                const QString amount =
                    fixedText(std::fabs(*number),
                              hasPrecision ? precision : formatSettings().currencyDecimals, true);
                piece = (*number < 0 ? QStringLiteral("-") : QString()) +
                        formatSettings().currencySymbol + amount;
            } else if (type == u'e') {
                piece =
                    QString::number(*number, 'E', hasPrecision ? std::max(precision - 1, 0) : 14)
                        .replace(u'.', formatSettings().decimalSeparator);
            } else {  // g
                piece = QString::number(*number, 'g', hasPrecision ? precision : 15)
                            .replace(u'.', formatSettings().decimalSeparator);
            }
        }
        if (piece.size() < width)
            piece = left ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
        i += m.capturedLength(0);
    }
    return out;
}

QString FormatData(const QVariant& value, const TfrxFormat& format) {
    if (value.isNull() || !value.isValid()) return {};
    try {
        switch (format.Kind) {
            case frx::fkText:
                return frxPlainText(value);
            case frx::fkNumeric: {
                const QString& f = format.FormatStr;
                QString text;
                if (f.contains(u'#') || f.startsWith(u'0')) {
                    const auto number = toNumber(value);
                    if (!number) return frxPlainText(value);
                    text = frxFormatFloat(f, *number);
                } else {
                    text = frxFormatPrintf(f, value);
                }
                return withSeparators(text, format);
            }
            case frx::fkDateTime: {
                const QDateTime dt = frxToDateTime(value);
                if (!dt.isValid()) return frxPlainText(value);
                return frxFormatDateTime(format.FormatStr, dt);
            }
            case frx::fkBoolean: {
                const qsizetype comma = format.FormatStr.indexOf(u',');
                const QString yes = comma < 0 ? format.FormatStr : format.FormatStr.left(comma);
                const QString no = comma < 0 ? QString() : format.FormatStr.mid(comma + 1);
                bool truth = false;
                if (value.typeId() == QMetaType::Bool)
                    truth = value.toBool();
                else if (const auto number = toNumber(value))
                    truth = *number != 0;
                else
                    truth = value.toString().compare(u"True", Qt::CaseInsensitive) == 0;
                return truth ? yes : no;
            }
        }
    } catch (const Error&) {
    }
    return frxPlainText(value);
}

}  // namespace qev
