#pragma once

#include "data/ConnectionSettings.h"

#include <QString>

// A small ERP company the window tests know by heart, as an SQLite file.
//
// Suppliers in CardCode order (the customer C0001 is not one of them):
//   P0001 Zapatería Núñez, P0002 Abastos del Centro, P0003 Aceros Monterrey,
//   P0004 Abarrotes La Estrella, P0005 Bodega Azul, P0006 Aaron Distribuciones,
//   P0010 Distribuidora Diez.
// P0004 has invoices of 1000 (2016-01-05) and 50 (2016-02-01), a cancelled
// invoice, a credit note of 100 and a payment of 400 both on 2016-01-20.
// P0006 has an invoice of 100 (2016-03-01) and a payment of 100 (2016-03-15).
// E_Mail: P0003 has none, P0004 two addresses, P0005 a text that is no address,
// the others one address each (P0006: ventas@aaron.mx).
namespace testcompany {

void create(const QString& path);
qev::ConnectionSettings settings(const QString& databasePath, const QString& dataDirectory);
// Writes a settings file (INI) that reaches the SQLite company at databasePath.
void writeSettingsFile(const QString& iniPath, const QString& databasePath,
                       const QString& dataDirectory);
// Runs one statement on the file through a connection of its own (the window's
// is read only), e.g. to make a table disappear for a while.
void execute(const QString& path, const QString& sql);

}  // namespace testcompany
