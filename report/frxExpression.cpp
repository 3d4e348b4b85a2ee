#include "report/frxExpression.h"

#include <QDateTime>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace qev {

enum class Op {
    Literal,
    Name,
    Field,
    Bracket,
    Negate,
    Not,
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDiv,
    Mod,
    And,
    Or,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Iif
};

struct TfrxExpression::Node {
    Op op = Op::Literal;
    QVariant value;
    QString name;   // name, data set, bracket text
    QString field;  // field of a data-field reference
    std::vector<std::unique_ptr<Node>> args;
    int height = 1;  // levels of nodes from here down
};

namespace {

using Node = TfrxExpression::Node;
using NodePtr = std::unique_ptr<Node>;

NodePtr makeNode(Op op) {
    auto node = std::make_unique<Node>();
    node->op = op;
    return node;
}

[[noreturn]] void fail(const QString& message) {
    throw TfrxExpressionError(message);
}

// Parsing, evaluating and freeing an expression all recurse along its nesting:
// a limit far above any real expression keeps a hostile text from exhausting
// the stack.
constexpr int MaxNesting = 200;

[[noreturn]] void tooDeep() {
    fail(QStringLiteral("Expression nested too deeply"));
}

NodePtr withArgs(Op op, std::vector<NodePtr> args) {
    NodePtr node = makeNode(op);
    for (const NodePtr& arg : args) node->height = std::max(node->height, arg->height + 1);
    if (node->height > MaxNesting) tooDeep();
    node->args = std::move(args);
    return node;
}

NodePtr unaryNode(Op op, NodePtr operand) {
    std::vector<NodePtr> args;
    args.push_back(std::move(operand));
    return withArgs(op, std::move(args));
}

NodePtr binary(Op op, NodePtr left, NodePtr right) {
    std::vector<NodePtr> args;
    args.push_back(std::move(left));
    args.push_back(std::move(right));
    return withArgs(op, std::move(args));
}

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'#';
}

// Recursive descent over the text; precedence from loose to tight:
// or, and, not, comparison, + -, * / div mod, unary minus.
class Parser {
  public:
    explicit Parser(const QString& text) : s(text) {}

    NodePtr parse() {
        NodePtr node = orExpr();
        skipSpace();
        if (pos < s.size()) fail(QStringLiteral("Unexpected '%1'").arg(s.mid(pos, 1)));
        return node;
    }

  private:
    const QString& s;
    qsizetype pos = 0;
    int depth = 0;  // rules entered and not yet left

    // Held by every rule that may call itself again before it builds a node.
    class Nested {
      public:
        explicit Nested(Parser& parser) : p(parser) {
            if (p.depth >= MaxNesting) tooDeep();
            ++p.depth;
        }
        ~Nested() { --p.depth; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

      private:
        Parser& p;
    };

    void skipSpace() {
        while (pos < s.size() && s[pos].isSpace()) ++pos;
    }
    bool peekWord(const char* word) {
        skipSpace();
        const QString w = QString::fromLatin1(word);
        if (QStringView(s).mid(pos, w.size()).compare(w, Qt::CaseInsensitive) != 0) return false;
        const qsizetype end = pos + w.size();
        return end >= s.size() || !isNameChar(s[end]);
    }
    bool acceptWord(const char* word) {
        if (!peekWord(word)) return false;
        pos += qsizetype(std::strlen(word));
        return true;
    }
    bool accept(const char* symbol) {
        skipSpace();
        const QString sym = QString::fromLatin1(symbol);
        if (!QStringView(s).mid(pos).startsWith(sym)) return false;
        pos += sym.size();
        return true;
    }
    void expect(const char* symbol) {
        if (accept(symbol)) return;
        if (pos >= s.size()) fail(QStringLiteral("Unexpected end of expression"));
        fail(QStringLiteral("'%1' expected").arg(QString::fromLatin1(symbol)));
    }

    NodePtr orExpr() {
        const Nested nested(*this);
        NodePtr left = andExpr();
        while (acceptWord("or")) left = binary(Op::Or, std::move(left), andExpr());
        return left;
    }
    NodePtr andExpr() {
        NodePtr left = notExpr();
        while (acceptWord("and")) left = binary(Op::And, std::move(left), notExpr());
        return left;
    }
    NodePtr notExpr() {
        if (acceptWord("not")) {
            const Nested nested(*this);
            return unaryNode(Op::Not, notExpr());
        }
        return comparison();
    }
    NodePtr comparison() {
        NodePtr left = additive();
        static const std::pair<const char*, Op> ops[] = {
            {"<>", Op::NotEqual}, {"<=", Op::LessEqual}, {">=", Op::GreaterEqual},
            {"=", Op::Equal},     {"<", Op::Less},       {">", Op::Greater}};
        for (const auto& [symbol, op] : ops)
            if (accept(symbol)) return binary(op, std::move(left), additive());
        return left;
    }
    NodePtr additive() {
        NodePtr left = term();
        for (;;) {
            if (accept("+"))
                left = binary(Op::Add, std::move(left), term());
            else if (accept("-"))
                left = binary(Op::Subtract, std::move(left), term());
            else
                return left;
        }
    }
    NodePtr term() {
        NodePtr left = unary();
        for (;;) {
            if (accept("*"))
                left = binary(Op::Multiply, std::move(left), unary());
            else if (accept("/"))
                left = binary(Op::Divide, std::move(left), unary());
            else if (acceptWord("div"))
                left = binary(Op::IntDiv, std::move(left), unary());
            else if (acceptWord("mod"))
                left = binary(Op::Mod, std::move(left), unary());
            else
                return left;
        }
    }
    NodePtr unary() {
        const Nested nested(*this);
        if (accept("-")) return unaryNode(Op::Negate, unary());
        if (accept("+")) return unary();
        return primary();
    }

    NodePtr literal(const QVariant& value) {
        NodePtr node = makeNode(Op::Literal);
        node->value = value;
        return node;
    }

    QString quoted(QChar quote) {
        ++pos;  // opening quote
        QString text;
        for (;;) {
            if (pos >= s.size()) fail(QStringLiteral("Unterminated string"));
            if (s[pos] == quote) {
                if (pos + 1 < s.size() && s[pos + 1] == quote) {
                    text += quote;
                    pos += 2;
                    continue;
                }
                ++pos;
                return text;
            }
            text += s[pos++];
        }
    }

    NodePtr number() {
        const qsizetype start = pos;
        while (pos < s.size() && s[pos].isDigit()) ++pos;
        bool isFloat = false;
        if (pos + 1 < s.size() && s[pos] == u'.' && s[pos + 1].isDigit()) {
            isFloat = true;
            ++pos;
            while (pos < s.size() && s[pos].isDigit()) ++pos;
        }
        if (pos < s.size() && s[pos].toLower() == u'e') {
            qsizetype e = pos + 1;
            if (e < s.size() && (s[e] == u'+' || s[e] == u'-')) ++e;
            if (e < s.size() && s[e].isDigit()) {
                isFloat = true;
                pos = e;
                while (pos < s.size() && s[pos].isDigit()) ++pos;
            }
        }
        const QString text = s.mid(start, pos - start);
        bool ok = false;
        if (!isFloat) {
            const qlonglong whole = text.toLongLong(&ok);
            if (ok) return literal(whole);
        }
        return literal(text.toDouble());
    }

    // The text up to the delimiter that closes the one at pos, outside quotes.
    QString enclosed(QChar open, QChar close) {
        int depth = 0;
        bool inDouble = false, inSingle = false;
        const qsizetype start = pos;
        for (; pos < s.size(); ++pos) {
            const QChar c = s[pos];
            if (!inDouble && !inSingle) {
                if (c == open) ++depth;
                if (c == close && --depth == 0) {
                    ++pos;
                    return s.mid(start + 1, pos - start - 2);
                }
            }
            if (c == u'"' && !inSingle)
                inDouble = !inDouble;
            else if (c == u'\'' && !inDouble)
                inSingle = !inSingle;
        }
        fail(QStringLiteral("'%1' expected").arg(close));
    }

    NodePtr reference(const QString& inner) {
        const qsizetype dot = inner.indexOf(QStringLiteral(".\""));
        if (dot < 0 || !inner.endsWith(u'"')) {
            NodePtr node = makeNode(Op::Name);
            node->name = inner.trimmed();
            return node;
        }
        NodePtr node = makeNode(Op::Field);
        node->name = inner.left(dot).trimmed();
        node->field = inner.mid(dot + 2, inner.size() - dot - 3);
        return node;
    }

    NodePtr call(const QString& name) {
        std::vector<NodePtr> args;
        if (!accept(")")) {
            do args.push_back(orExpr());
            while (accept(","));
            expect(")");
        }
        if (name.compare(u"IIF", Qt::CaseInsensitive) == 0) {
            if (args.size() != 3) fail(QStringLiteral("IIF expects 3 arguments"));
            return withArgs(Op::Iif, std::move(args));
        }
        fail(QStringLiteral("Undeclared identifier: '%1'").arg(name));
    }

    NodePtr primary() {
        skipSpace();
        if (pos >= s.size()) fail(QStringLiteral("Unexpected end of expression"));
        const QChar c = s[pos];
        if (c.isDigit()) return number();
        if (c == u'\'' || c == u'"') return literal(quoted(c));
        if (c == u'(') {
            ++pos;
            NodePtr node = orExpr();
            expect(")");
            return node;
        }
        if (c == u'[') {
            NodePtr node = makeNode(Op::Bracket);
            node->name = enclosed(u'[', u']');
            return node;
        }
        if (c == u'<') return reference(enclosed(u'<', u'>'));
        if (!isNameStart(c)) fail(QStringLiteral("Unexpected '%1'").arg(c));
        const qsizetype start = pos;
        while (pos < s.size() && isNameChar(s[pos])) ++pos;
        const QString name = s.mid(start, pos - start);
        if (name.compare(u"True", Qt::CaseInsensitive) == 0) return literal(true);
        if (name.compare(u"False", Qt::CaseInsensitive) == 0) return literal(false);
        if (name.compare(u"Null", Qt::CaseInsensitive) == 0) return literal(QVariant());
        if (pos + 1 < s.size() && s[pos] == u'.' && s[pos + 1] == u'"') {
            ++pos;
            NodePtr node = makeNode(Op::Field);
            node->name = name;
            node->field = quoted(u'"');
            return node;
        }
        if (accept("(")) return call(name);
        NodePtr node = makeNode(Op::Name);
        node->name = name;
        return node;
    }
};

// --- Evaluation ------------------------------------------------------------

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

bool isWhole(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

bool isNumber(const QVariant& v) {
    return isWhole(v) || v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool isDate(const QVariant& v) {
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

[[noreturn]] void incompatible() {
    fail(QStringLiteral("Incompatible types"));
}

// Days since 30 December 1899, the fraction being the time of day.
double dateNumber(const QVariant& v) {
    const QDateTime dt =
        v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
    return double(QDate(1899, 12, 30).daysTo(dt.date())) +
           dt.time().msecsSinceStartOfDay() / 86400000.0;
}

// The days of 1 January 0001 and of 1 January 10000: the dates a report shows.
constexpr double FirstDay = -693593, EndDay = 2958466;

QVariant dateFromNumber(double days) {
    if (!(days >= FirstDay && days < EndDay)) fail(QStringLiteral("Date out of range"));
    const double whole = std::floor(days);
    const qint64 ms = qint64(std::nearbyint((days - whole) * 86400000.0));
    return QDateTime(QDate(1899, 12, 30).addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}

// A numeric view of a value; texts that read as numbers count (as variants do).
double toDouble(const QVariant& v) {
    if (isNumber(v)) return v.toDouble();
    if (isDate(v)) return dateNumber(v);
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? 1 : 0;
    if (isText(v)) {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (ok) return d;
    }
    incompatible();
}

// An operand of div and mod: whole numbers as they are, others cut to their
// whole part, which must fit 64 bits.
qlonglong wholeOperand(const QVariant& v) {
    if (isWhole(v) && v.typeId() != QMetaType::ULongLong) return v.toLongLong();
    const double d = std::trunc(toDouble(v));
    if (!(d >= -0x1p63 && d < 0x1p63)) fail(QStringLiteral("Integer overflow"));
    return qlonglong(d);
}

bool toBool(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (isNull(v)) return false;
    if (isNumber(v)) return v.toDouble() != 0;
    if (isText(v)) {
        if (v.toString().compare(u"True", Qt::CaseInsensitive) == 0) return true;
        if (v.toString().compare(u"False", Qt::CaseInsensitive) == 0) return false;
    }
    incompatible();
}

QVariant arithmetic(Op op, const QVariant& a, const QVariant& b) {
    if (isNull(a) || isNull(b)) return {};
    if (op == Op::Add && isText(a) && isText(b)) return a.toString() + b.toString();
    if (op == Op::Add || op == Op::Subtract) {
        if (isDate(a) && !isDate(b))
            return dateFromNumber(dateNumber(a) + (op == Op::Add ? 1 : -1) * toDouble(b));
        if (op == Op::Subtract && isDate(a) && isDate(b)) return dateNumber(a) - dateNumber(b);
    }
    if (op == Op::IntDiv || op == Op::Mod) {
        const qlonglong x = wholeOperand(a);
        const qlonglong y = wholeOperand(b);
        if (y == 0) fail(QStringLiteral("Division by zero"));
        if (y == -1) {  // the one quotient that can leave the range
            if (op == Op::Mod) return qlonglong(0);
            if (x == LLONG_MIN) fail(QStringLiteral("Integer overflow"));
        }
        return op == Op::IntDiv ? x / y : x % y;
    }
    if (op == Op::Divide) {
        const double y = toDouble(b);
        if (y == 0) fail(QStringLiteral("Floating point division by zero"));
        return toDouble(a) / y;
    }
    if (isWhole(a) && isWhole(b)) {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        qlonglong r = 0;
        const bool overflow = op == Op::Add        ? __builtin_add_overflow(x, y, &r)
                              : op == Op::Subtract ? __builtin_sub_overflow(x, y, &r)
                                                   : __builtin_mul_overflow(x, y, &r);
        if (!overflow) return r;
    }
    const double x = toDouble(a), y = toDouble(b);
    return op == Op::Add ? x + y : op == Op::Subtract ? x - y : x * y;
}

// -1, 0, 1; throws when the two cannot be compared.
int compareValues(const QVariant& a, const QVariant& b) {
    if (isText(a) && isText(b)) return std::clamp(a.toString().compare(b.toString()), -1, 1);
    if (a.typeId() == QMetaType::Bool && b.typeId() == QMetaType::Bool)
        return int(a.toBool()) - int(b.toBool());
    const double x = toDouble(a), y = toDouble(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

QVariant comparison(Op op, const QVariant& a, const QVariant& b) {
    if (isNull(a) || isNull(b)) {
        const bool both = isNull(a) && isNull(b);
        if (op == Op::Equal) return both;
        if (op == Op::NotEqual) return !both;
        return false;
    }
    const int c = compareValues(a, b);
    switch (op) {
        case Op::Equal:
            return c == 0;
        case Op::NotEqual:
            return c != 0;
        case Op::Less:
            return c < 0;
        case Op::Greater:
            return c > 0;
        case Op::LessEqual:
            return c <= 0;
        default:
            return c >= 0;
    }
}

QVariant evaluate(const Node& node, TfrxExpressionContext& context) {
    auto arg = [&](size_t i) { return evaluate(*node.args[i], context); };
    switch (node.op) {
        case Op::Literal:
            return node.value;
        case Op::Name:
            return context.NameValue(node.name);
        case Op::Field:
            return context.FieldValue(node.name, node.field);
        case Op::Bracket:
            return context.BracketValue(node.name);
        case Op::Negate: {
            const QVariant v = arg(0);
            if (isNull(v)) return {};
            if (isWhole(v) && v.toLongLong() != LLONG_MIN) return -v.toLongLong();
            return -toDouble(v);
        }
        case Op::Not: {
            const QVariant v = arg(0);
            return isNull(v) ? QVariant() : QVariant(!toBool(v));
        }
        case Op::And:
            return toBool(arg(0)) && toBool(arg(1));
        case Op::Or:
            return toBool(arg(0)) || toBool(arg(1));
        case Op::Iif:
            return toBool(arg(0)) ? arg(1) : arg(2);
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply:
        case Op::Divide:
        case Op::IntDiv:
        case Op::Mod:
            return arithmetic(node.op, arg(0), arg(1));
        default:
            return comparison(node.op, arg(0), arg(1));
    }
}

}  // namespace

TfrxExpression::~TfrxExpression() = default;

std::shared_ptr<TfrxExpression> TfrxExpression::Compile(const QString& text) {
    if (text.trimmed().isEmpty()) fail(QStringLiteral("Unexpected end of expression"));
    std::shared_ptr<TfrxExpression> expression(new TfrxExpression);
    expression->FRoot = Parser(text).parse();
    return expression;
}

QVariant TfrxExpression::Evaluate(TfrxExpressionContext& context) const {
    return evaluate(*FRoot, context);
}

}  // namespace qev
