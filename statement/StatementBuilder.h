#pragma once

#include <QString>
#include <QVariant>

#include <QByteArray>

#include <functional>
#include <memory>
#include <vector>

namespace qev {

class TablaPuente;
class TablaMovtos;
class TablaSql;
struct DocumentPass;
struct DocumentColumns;
struct MovementFields;
class DateTexts;

// The moments of a build at which the window changes what it shows; all optional.
struct StatementHooks {
    std::function<void()> statementMode;  // before anything else: the window's statement mode
    std::function<void()> showWait;       // the wait window, shown and painted
    std::function<void(int pass)>
        afterPass;                   // after passes 1, 2 and 3: movements page, wait closed
    std::function<void()> finished;  // after the running balance
};

// Builds the account statement of one supplier: empties the movements table,
// appends one movement row per accepted document of four passes over the
// purchase invoices, credit notes and payments, then runs the running balance.
// The rows of a pass are stored together when the pass ends (or fails).
class StatementBuilder {
  public:
    StatementBuilder(TablaPuente& puente, TablaMovtos& movtos, TablaSql& sql);
    ~StatementBuilder();

    // cardCode is the supplier code as the window shows it, already trimmed.
    // Throws qev::Error on the first failure; rows stored before it stay, the row
    // being filled is dropped, and the document table is left closed.
    void build(const QString& cardCode, const StatementHooks& hooks = {});

  private:
    void runPass(const DocumentPass& pass, const QString& cardCode);
    void readDocuments(const DocumentPass& pass);
    void storePending();
    void closeDocumentTable();
    QByteArray movementRow(const DocumentPass& pass, const DocumentColumns& columns);

    TablaPuente& puente_;
    TablaMovtos& movtos_;
    TablaSql& sql_;
    int vmovto_ = 1;
    std::unique_ptr<MovementFields> fields_;
    std::unique_ptr<DateTexts> dates_;
    std::vector<QByteArray> pending_;  // rows of the pass under way, not stored yet
};

}  // namespace qev
