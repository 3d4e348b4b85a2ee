#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <vector>

namespace qev {

class ConexionSAP;

// One line of an outgoing payment (the ERP's VPM2) with the date of its
// payment: what the payment applied to one invoice ("18") or took of one
// credit note ("19", a negative amount).
struct PaymentLine {
    int payment = 0;   // OVPM.DocEntry
    QDate date;        // OVPM.DocDate
    QString invType;   // VPM2.InvType
    int document = 0;  // VPM2.DocEntry: the invoice's or credit note's DocEntry
    QVariant amount;   // VPM2.SumApplied, a double (Null stays Null)
};

// The lines of a supplier's payments that are not cancelled (CANCELED "N"),
// read at once. The supplier code is a bound value. Throws Error with the
// driver's text (a company without VPM2, say).
std::vector<PaymentLine> readPaymentLines(ConexionSAP& conexion, const QString& cardCode);

}  // namespace qev
