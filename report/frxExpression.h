#pragma once

// The expression language of report memos: what report authors write inside
// brackets. Not a script interpreter: one expression, evaluated to a value.
//
//   numbers        12  3.5  1e3           strings   'text' ('' inside for ')
//   booleans       True  False            Null      Null
//   arithmetic     + - * /  div mod       ("+" joins two strings)
//   comparisons    = <> < > <= >=
//   logic          and  or  not           (usual precedence: not, and, or
//                                          bind looser than comparisons)
//   parentheses    ( )
//   IIF(c, a, b)   a when c holds, else b; only the chosen branch is evaluated
//   names          Date  Page#  MyVariable        (looked up by the report)
//   data fields    frxDBDataset1."CardCode"  or  <frxDBDataset1."CardCode">
//   nested         [Page#]                         (the bracket's expression)
//
// Null in arithmetic gives Null; "/" always gives a float and fails with
// "Floating point division by zero"; "div" and "mod" fail with "Division by
// zero".

#include "format/Error.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace qev {

// A compile or run-time failure; the text is the bare message (the report
// puts "Error in expression ..." in front).
class TfrxExpressionError : public Error {
  public:
    using Error::Error;
};

// What an expression asks its caller for.
class TfrxExpressionContext {
  public:
    virtual ~TfrxExpressionContext() = default;
    // A bare name ("Date", "Page#", a variable).
    virtual QVariant NameValue(const QString& name) = 0;
    // dataSet."field".
    virtual QVariant FieldValue(const QString& dataSet, const QString& field) = 0;
    // The expression of a nested bracket.
    virtual QVariant BracketValue(const QString& expression) = 0;
};

class TfrxExpression {
  public:
    struct Node;

    // Throws TfrxExpressionError with the compiler's message.
    static std::shared_ptr<TfrxExpression> Compile(const QString& text);
    ~TfrxExpression();

    // Throws TfrxExpressionError with the run-time message.
    QVariant Evaluate(TfrxExpressionContext& context) const;

  private:
    TfrxExpression() = default;
    std::unique_ptr<Node> FRoot;
};

}  // namespace qev
