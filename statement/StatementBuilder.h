#pragma once

#include "format/Currency.h"
#include "statement/AgeingSummary.h"
#include "statement/StatementOptions.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace qev {

class TablaPuente;
class TablaMovtos;
class TablaSql;
struct DocumentPass;
struct DocumentColumns;
struct MovementFields;
struct OpenAmount;
class DateTexts;
class OpenItems;

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
//
// A statement for a period leaves out the documents dated after its end and
// sums those before its start into one opening row, "SALDO ANTERIOR", dated
// the day before, with their charges and credits: its balance is the running
// balance on that day. A statement of open items has a row only for what is
// still open on its day (OpenItems), with the open amount as charge or
// credit, and the ageing of those amounts.
class StatementBuilder {
  public:
    // Rows of a pass are stored whenever this many bytes of them are waiting.
    static constexpr qsizetype PendingBytesToStore = 256 * 1024;

    StatementBuilder(TablaPuente& puente, TablaMovtos& movtos, TablaSql& sql);
    ~StatementBuilder();

    // cardCode is the supplier code as the window shows it, already trimmed.
    // Throws qev::Error on the first failure; rows stored before it stay, the row
    // being filled is dropped, and the document table is left closed.
    void build(const QString& cardCode, const StatementHooks& hooks = {});
    // The same for a period or for open items. Throws qev::Error before
    // anything else when the options do not go together (StatementOptions::check).
    void build(const QString& cardCode, const StatementOptions& options,
               const StatementHooks& hooks = {});

    // The ageing of the last statement of open items that was built; none for
    // other statements or when the build failed.
    const std::optional<AgeingSummary>& ageing() const { return ageing_; }

  private:
    void buildRows(const QString& cardCode, const StatementHooks& hooks);
    void runPass(const DocumentPass& pass, const QString& cardCode);
    void readDocuments(const DocumentPass& pass);
    bool inPeriod(const DocumentPass& pass, const DocumentColumns& columns);
    std::optional<OpenAmount> openAmount(const DocumentPass& pass, const DocumentColumns& columns);
    void storePending();
    void closeDocumentTable();
    void addMovement(const DocumentPass& pass, const DocumentColumns& columns,
                     const OpenAmount* open);
    void writeMovement(const DocumentPass& pass, const DocumentColumns& columns,
                       const OpenAmount* open);
    void appendOpeningRow();

    TablaPuente& puente_;
    TablaMovtos& movtos_;
    TablaSql& sql_;
    int vmovto_ = 1;
    StatementOptions options_;
    Currency openingCharges_, openingCredits_;  // of the documents before the period
    std::unique_ptr<OpenItems> openItems_;
    std::optional<AgeingSummary> ageing_;
    std::unique_ptr<MovementFields> fields_;
    std::unique_ptr<DateTexts> dates_;
    QByteArray pending_;  // rows of the pass under way, back to back, not stored yet
};

}  // namespace qev
