#pragma once

#include <QHash>
#include <QString>

namespace qev {

class ConexionSAP;

// How many suppliers and documents the company database holds: what a user
// looks at first to tell that the connection reaches the right company.
struct CompanySummary {
    long long suppliers = 0;    // OCRD rows with cardtype 'S'
    long long invoices = 0;     // OPCH
    long long creditNotes = 0;  // ORPC
    long long payments = 0;     // OVPM

    // Throws Error with the driver's text when a count cannot be read.
    static CompanySummary of(ConexionSAP& conexion);

    // Invoices, credit notes and payments per supplier code; codes without
    // documents are absent. Throws Error with the driver's text.
    static QHash<QString, long long> documentsBySupplier(ConexionSAP& conexion);
};

}  // namespace qev
