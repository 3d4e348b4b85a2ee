#include "format/Error.h"
#include "mail/MailAddress.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

TEST(MailAddress, AcceptsPlainAddressesAndRefusesWhatHeadersOrServersCouldMisread) {
    const std::pair<const char*, bool> cases[] = {
        {"ventas@korvu.com.mx", true},
        {"o'higgins+cxp@importadora.mx", true},  // apostrophe and plus are plain characters
        {"a.b-c_d@sub-1.example.org", true},
        {"ventas.korvu.com.mx", false},  // no @
        {"ventas@korvu", false},         // no top-level domain
        {"ventas@korvu.m", false},       // one-letter top-level domain
        {"@korvu.mx", false},
        {"ventas@", false},
        {"ven tas@korvu.mx", false},
        {"ventas@korvu.mx\r\nBcc: x@y.mx", false},
        {"\"ventas\"@korvu.mx", false},
        {"<ventas@korvu.mx>", false},
        {"ventas@korvu.mx>", false},
        {"ventas@-korvu.mx", false},
        {"ventas@korvu..mx", false},
        {".ventas@korvu.mx", false},
        {"ven..tas@korvu.mx", false},
        {"núñez@korvu.mx", false},  // not ASCII: the server might not take it
        {"ventas@peñón.mx", false},
        {"a@b@korvu.mx", false},
        {"", false},
    };
    for (const auto& [address, valid] : cases)
        EXPECT_EQ(isValidMailAddress(QString::fromUtf8(address)), valid) << address;
}

TEST(MailAddress, ReadsThePartnerFieldAsAListOfAddresses) {
    EXPECT_EQ(parseMailAddresses(QString()), QStringList());
    EXPECT_EQ(parseMailAddresses(QStringLiteral("  ")), QStringList());
    EXPECT_EQ(parseMailAddresses(QStringLiteral(" ventas@a.mx ")), QStringList{"ventas@a.mx"});
    EXPECT_EQ(parseMailAddresses(QStringLiteral("ventas@a.mx; cobranza@a.mx,pagos@b.mx;")),
              (QStringList{"ventas@a.mx", "cobranza@a.mx", "pagos@b.mx"}));
    try {
        parseMailAddresses(QStringLiteral("ventas@a.mx; cobranza.a.mx"));
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("La dirección de correo \"cobranza.a.mx\" no es válida"));
    }
}
