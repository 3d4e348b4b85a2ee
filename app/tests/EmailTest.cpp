// Statements mailed through a real SMTP server on loopback: from the command
// line (--email, --dry-run, --resume) and from the window's button. Messages
// are read back with Python's email package.
#include "TestCompany.h"
#include "app/ErrorBox.h"
#include "app/StatementPrinter.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "mail/SendLog.h"

#include "testing/ProcessRun.h"
#include "testing/QtPrinters.h"
#include "testing/SmtpTestServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

using namespace qev;
using qev::testing::readMail;
using qev::testing::SmtpTestServer;

namespace {

using qev::testing::ProcessRun;

// The program's own lines: Qt's notes about the environment left out.
QString withoutQtNotes(const QString& text) {
    QStringList lines = text.split(u'\n');
    lines.removeIf(
        [](const QString& line) { return line.startsWith(QLatin1String("QStandardPaths: ")); });
    return lines.join(u'\n');
}

ProcessRun runQev(const QStringList& arguments) {
    ProcessRun run = qev::testing::runProcess(QStringLiteral(QEV_BUILD_DIR "/app/qev"), arguments);
    run.err = withoutQtNotes(run.err);
    return run;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList recipientsOf(const QString& eml) {
    QStringList to;
    for (const QJsonValue& v : SmtpTestServer::envelopeOf(eml)["to"].toArray()) to << v.toString();
    return to;
}

class EmailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath(QStringLiteral("company.sqlite"));
        dataDir = dir.filePath(QStringLiteral("data"));
        outDir = dir.filePath(QStringLiteral("out"));
        ini = dir.filePath(QStringLiteral("qev.ini"));
        testcompany::create(database);
        writeIni(qev::testing::closedLoopbackPort());
    }

    // Settings with an [smtp] section for a server on loopback without TLS.
    void writeIni(quint16 port, const QString& user = {}, const QString& password = {}) {
        QFile::remove(ini);
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("database/driver"), QStringLiteral("sqlite"));
        s.setValue(QStringLiteral("database/database"), database);
        s.setValue(QStringLiteral("paths/data_directory"), dataDir);
        s.setValue(QStringLiteral("smtp/host"), QStringLiteral("127.0.0.1"));
        s.setValue(QStringLiteral("smtp/port"), port);
        s.setValue(QStringLiteral("smtp/security"), QStringLiteral("none"));
        s.setValue(QStringLiteral("smtp/timeout"), 20);
        s.setValue(QStringLiteral("smtp/from"), QStringLiteral("cxp@korvu.com.mx"));
        s.setValue(QStringLiteral("smtp/from_name"), QStringLiteral("Cuentas por Pagar Korvu"));
        s.setValue(QStringLiteral("smtp/reply_to"), QStringLiteral("pagos@korvu.com.mx"));
        s.setValue(QStringLiteral("smtp/subject"),
                   QStringLiteral("Estado de cuenta {periodo} - {proveedor} ({codigo})"));
        if (!user.isEmpty()) {
            s.setValue(QStringLiteral("smtp/user"), user);
            s.setValue(QStringLiteral("smtp/password_env"), QStringLiteral("QEV_TEST_MAIL_PW"));
            qputenv("QEV_TEST_MAIL_PW", password.toUtf8());
        }
        s.sync();
    }

    ProcessRun mailAll(const QStringList& more = {}) {
        return runQev(QStringList{"--config", ini, "--print-all", "--email", "--out", outDir} +
                      more);
    }

    QString server(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QString pdf(const QString& code) const {
        return QDir(outDir).filePath(QStringLiteral("QEV_%1.pdf").arg(code));
    }
    SendLog log() const { return SendLog(SendLog::defaultPath(dataDir)); }
    std::map<QString, QStringList> outcomesByCode() const {
        std::map<QString, QStringList> outcomes;
        const SendLog sendLog = log();
        for (const SendLogEntry& e : sendLog.entries()) outcomes[e.code] << e.outcome;
        return outcomes;
    }

    QTemporaryDir dir;
    QString database, dataDir, outDir, ini;
};

}  // namespace

TEST_F(EmailTest, EveryStatementGoesToItsSupplierAndEachOutcomeIsToldAndLogged) {
    SmtpTestServer smtp(server("mail"), {{}, {}, {QStringLiteral("ventas@aaron.mx")}});
    writeIni(smtp.port());
    const ProcessRun run = mailAll();
    EXPECT_EQ(run.exitCode, 3) << run.out.toStdString() << run.err.toStdString();

    const QStringList sentLines = run.out.split(u'\n', Qt::SkipEmptyParts);
    const QStringList expectedSent = {
        QStringLiteral("[1/7] P0001: %1: enviado a ventas@zapaterianunez.mx").arg(pdf("P0001")),
        QStringLiteral("[2/7] P0002: %1: enviado a compras@abastos.mx").arg(pdf("P0002")),
        QStringLiteral("[4/7] P0004: %1: enviado a pagos@laestrella.mx, cobranza@laestrella.mx")
            .arg(pdf("P0004")),
        QStringLiteral("[7/7] P0010: %1: enviado a diez@distribuidora.mx").arg(pdf("P0010")),
    };
    EXPECT_EQ(sentLines, expectedSent) << run.out.toStdString();
    const QStringList expectedFailures = {
        QStringLiteral("[3/7] P0003: %1: sin dirección de correo").arg(pdf("P0003")),
        QStringLiteral("[5/7] P0005: %1: dirección de correo no válida: \"bodega azul@example\"")
            .arg(pdf("P0005")),
        QStringLiteral("[6/7] P0006: %1: rechazado por el servidor: El servidor de correo "
                       "rechazó el destinatario <ventas@aaron.mx>: 550 5.1.1 <ventas@aaron.mx>: "
                       "buzon inexistente")
            .arg(pdf("P0006")),
        QStringLiteral("3 de 7 estados de cuenta no se enviaron."),
    };
    EXPECT_EQ(run.err.split(u'\n', Qt::SkipEmptyParts), expectedFailures) << run.err.toStdString();

    // The four messages, each with its supplier's statement as it was written.
    const QStringList messages = smtp.messages();
    ASSERT_EQ(messages.size(), 4);
    const struct {
        const char* code;
        const char* name;
        QStringList to;
    } expected[] = {
        {"P0001", "Zapatería Núñez", {"ventas@zapaterianunez.mx"}},
        {"P0002", "Abastos del Centro", {"compras@abastos.mx"}},
        {"P0004", "Abarrotes La Estrella", {"pagos@laestrella.mx", "cobranza@laestrella.mx"}},
        {"P0010", "Distribuidora Diez", {"diez@distribuidora.mx"}},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& e = expected[i];
        const QString code = QLatin1String(e.code);
        const QString name = QString::fromUtf8(e.name);
        EXPECT_EQ(recipientsOf(messages[i]), e.to) << e.code;
        const QJsonObject mail = readMail(messages[i]);
        EXPECT_TRUE(mail["defects"].toArray().isEmpty()) << e.code;
        const QJsonObject headers = mail["headers"].toObject();
        EXPECT_TRUE(
            headers["Subject"].toString().startsWith(QStringLiteral("Estado de cuenta al ")))
            << headers["Subject"].toString().toStdString();
        EXPECT_TRUE(
            headers["Subject"].toString().endsWith(QStringLiteral(" - %1 (%2)").arg(name, code)))
            << headers["Subject"].toString().toStdString();
        EXPECT_FALSE(headers["Date"].toString().isEmpty());
        EXPECT_TRUE(headers["Message-ID"].toString().endsWith(QStringLiteral("@korvu.com.mx>")));
        const QJsonArray from = mail["addresses"].toObject()["From"].toArray();
        EXPECT_EQ(from, (QJsonArray{QJsonValue(QJsonArray{QStringLiteral("Cuentas por Pagar Korvu"),
                                                          QStringLiteral("cxp@korvu.com.mx")})}));
        const QJsonArray to = mail["addresses"].toObject()["To"].toArray();
        ASSERT_EQ(to.size(), e.to.size()) << e.code;
        for (int k = 0; k < to.size(); ++k) {
            EXPECT_EQ(to[k].toArray()[0].toString(), name) << e.code;
            EXPECT_EQ(to[k].toArray()[1].toString(), e.to[k]) << e.code;
        }
        EXPECT_EQ(mail["addresses"].toObject()["Reply-To"].toArray()[0].toArray()[1].toString(),
                  QStringLiteral("pagos@korvu.com.mx"));
        EXPECT_TRUE(mail["body"].toString().contains(
            QStringLiteral("Estimado proveedor %1 (%2):").arg(name, code)))
            << mail["body"].toString().toStdString();
        const QJsonArray attachments = mail["attachments"].toArray();
        ASSERT_EQ(attachments.size(), 1) << e.code;
        const QJsonObject attachment = attachments[0].toObject();
        EXPECT_EQ(attachment["filename"].toString(), QStringLiteral("QEV_%1.pdf").arg(code));
        EXPECT_EQ(attachment["content_type"].toString(), QStringLiteral("application/pdf"));
        const QByteArray bytes = QByteArray::fromBase64(attachment["data"].toString().toLatin1());
        EXPECT_GT(bytes.size(), 1000) << e.code;
        EXPECT_EQ(bytes, contentOf(pdf(code))) << e.code;
    }

    // One run in the log, with every supplier and what happened to it.
    const SendLog sendLog = log();
    ASSERT_EQ(sendLog.entries().size(), 7);
    for (const SendLogEntry& entry : sendLog.entries())
        EXPECT_EQ(entry.run, sendLog.lastRun()) << entry.code.toStdString();
    const std::map<QString, QStringList> outcomes = outcomesByCode();
    const std::map<QString, QStringList> expectedOutcomes = {
        {"P0001", {SendLog::Sent}},           {"P0002", {SendLog::Sent}},
        {"P0003", {SendLog::NoAddress}},      {"P0004", {SendLog::Sent}},
        {"P0005", {SendLog::InvalidAddress}}, {"P0006", {SendLog::Rejected}},
        {"P0010", {SendLog::Sent}},
    };
    EXPECT_EQ(outcomes, expectedOutcomes);
    EXPECT_EQ(sendLog.entries()[5].address, QStringLiteral("ventas@aaron.mx"));
    EXPECT_EQ(sendLog.entries()[5].file, pdf("P0006"));
    EXPECT_TRUE(sendLog.entries()[5].detail.contains(QStringLiteral("550 5.1.1")));
}

// A run stopped by a refused login, resumed against a server that rejects one
// recipient, then against one that is down, then once more: every statement
// reaches its supplier once, and the log tells the whole story.
TEST_F(EmailTest, AnInterruptedRunIsResumedWithoutSendingAnythingTwice) {
    SmtpTestServer first(
        server("first"),
        {QStringLiteral("cxp"), QStringLiteral("s3creto"), {QStringLiteral("ventas@aaron.mx")}});
    writeIni(first.port(), QStringLiteral("cxp"), QStringLiteral("equivocada"));
    const ProcessRun refused = mailAll();
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.err.startsWith(
        QStringLiteral("[1/7] P0001: %1: no enviado: El servidor de correo 127.0.0.1:%2 rechazó "
                       "el usuario o la contraseña: 535 5.7.8 Authentication credentials invalid\n")
            .arg(pdf("P0001"))
            .arg(first.port())))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral(
        "Envío detenido: 6 proveedores quedan sin enviar; use --resume para continuar.\n"
        "7 de 7 estados de cuenta no se enviaron.\n")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty()) << refused.out.toStdString();
    EXPECT_TRUE(first.messages().isEmpty());
    const QString run = log().lastRun();
    EXPECT_EQ(outcomesByCode(), (std::map<QString, QStringList>{{"P0001", {SendLog::NotSent}}}));

    writeIni(first.port(), QStringLiteral("cxp"), QStringLiteral("s3creto"));
    const ProcessRun rejected = mailAll({"--resume"});
    EXPECT_EQ(rejected.exitCode, 3) << rejected.err.toStdString();
    EXPECT_EQ(first.messages().size(), 4);

    writeIni(qev::testing::closedLoopbackPort());
    const ProcessRun down = mailAll({"--resume"});
    EXPECT_EQ(down.exitCode, 3);
    for (const char* code : {"P0001", "P0002", "P0004"})
        EXPECT_TRUE(down.out.contains(
            QStringLiteral("%1: ya enviado en la corrida que se reanuda, se omite.")
                .arg(QLatin1String(code))))
            << code << down.out.toStdString();
    EXPECT_TRUE(down.err.contains(
        QStringLiteral(
            "[6/7] P0006: %1: no enviado: No se pudo conectar con el servidor de correo 127.0.0.1:")
            .arg(pdf("P0006"))))
        << down.err.toStdString();
    // Nothing is left after P0006: P0010 went out in the run resumed.
    EXPECT_FALSE(down.err.contains(QStringLiteral("Envío detenido"))) << down.err.toStdString();
    EXPECT_TRUE(down.err.endsWith(QStringLiteral("3 de 7 estados de cuenta no se enviaron.\n")))
        << down.err.toStdString();

    SmtpTestServer second(server("second"));
    writeIni(second.port());
    const ProcessRun last = mailAll({"--resume"});
    EXPECT_EQ(last.exitCode, 3) << "P0003 and P0005 still have no usable address";
    ASSERT_EQ(second.messages().size(), 1);
    EXPECT_EQ(recipientsOf(second.messages()[0]), QStringList{"ventas@aaron.mx"});

    QStringList everyRecipient;
    for (const QString& eml : first.messages() + second.messages())
        everyRecipient += recipientsOf(eml);
    QStringList once = everyRecipient;
    once.removeDuplicates();
    EXPECT_EQ(once, everyRecipient);
    EXPECT_EQ(everyRecipient.size(), 6);

    EXPECT_EQ(log().lastRun(), run);  // every resumed run noted into the first one
    const std::map<QString, QStringList> expectedOutcomes = {
        {"P0001", {SendLog::NotSent, SendLog::Sent}},
        {"P0002", {SendLog::Sent}},
        {"P0003", {SendLog::NoAddress, SendLog::NoAddress, SendLog::NoAddress}},
        {"P0004", {SendLog::Sent}},
        {"P0005", {SendLog::InvalidAddress, SendLog::InvalidAddress, SendLog::InvalidAddress}},
        {"P0006", {SendLog::Rejected, SendLog::NotSent, SendLog::Sent}},
        {"P0010", {SendLog::Sent}},
    };
    EXPECT_EQ(outcomesByCode(), expectedOutcomes);

    // Without --resume a run starts afresh.
    const ProcessRun again = runQev({"--config", ini, "--print", "P0002", "--email"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(second.messages().size(), 2);
    EXPECT_NE(log().lastRun(), run);
}

TEST_F(EmailTest, DryRunWritesTheMessagesBesideThePdfsAndSendsNothing) {
    // The server named in the settings is down: a dry run never reaches it.
    const ProcessRun run = runQev({"--config", ini, "--print", "P0001", "--print", "P0004",
                                   "--email", "--dry-run", "--out", outDir});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString eml = QDir(outDir).filePath(QStringLiteral("QEV_P0001.eml"));
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("[1/2] P0001: %1: mensaje para ventas@zapaterianunez.mx escrito en %2")
            .arg(pdf("P0001"), eml)))
        << run.out.toStdString();
    EXPECT_EQ(QDir(outDir).entryList({QStringLiteral("*.eml")}, QDir::Files),
              (QStringList{"QEV_P0001.eml", "QEV_P0004.eml"}));
    const QJsonObject mail = readMail(eml);
    const QJsonArray attachments = mail["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(QByteArray::fromBase64(attachments[0].toObject()["data"].toString().toLatin1()),
              contentOf(pdf("P0001")));
    EXPECT_TRUE(mail["headers"].toObject()["Subject"].toString().contains(
        QStringLiteral("Zapatería Núñez")));
    EXPECT_FALSE(QFile::exists(SendLog::defaultPath(dataDir)));  // nothing was sent
    // No file half written is left beside them.
    EXPECT_EQ(QDir(outDir).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

// {periodo} says what the statement covers: the period, or the day of the
// open items ("al" and today for the whole history, as above).
TEST_F(EmailTest, ThePeriodOfTheMessageIsTheStatementsOwn) {
    const struct {
        QStringList options;
        const char* subject;
    } cases[] = {
        {{"--from", "2016-01-01", "--to", "2016-03-31"},
         "Estado de cuenta del 01/ENE/2016 al 31/MAR/2016 - Zapatería Núñez (P0001)"},
        {{"--from", "2016-01-01"}, "Estado de cuenta desde el 01/ENE/2016 - Zapatería Núñez (P0001)"},
        {{"--open-items", "--to", "2016-03-31"},
         "Estado de cuenta de partidas abiertas al 31/MAR/2016 - Zapatería Núñez (P0001)"},
    };
    for (const auto& c : cases) {
        const ProcessRun run = runQev(QStringList{"--config", ini, "--print", "P0001", "--email",
                                                  "--dry-run", "--out", outDir} +
                                      c.options);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject mail = readMail(QDir(outDir).filePath(QStringLiteral("QEV_P0001.eml")));
        EXPECT_EQ(mail["headers"].toObject()["Subject"].toString(), QString::fromUtf8(c.subject));
    }
}

TEST_F(EmailTest, MailSettingsThatCannotBeUsedStopBeforeAnythingIsWritten) {
    {
        QSettings s(ini, QSettings::IniFormat);
        s.remove(QStringLiteral("smtp"));
    }
    const ProcessRun none = runQev({"--config", ini, "--print-all", "--email", "--out", outDir});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, QStringLiteral("El envío por correo no está configurado: falta la sección "
                                       "[smtp] en el archivo de configuración.\n"));
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("smtp/host"), QStringLiteral("127.0.0.1"));
        s.setValue(QStringLiteral("smtp/password_env"), QStringLiteral("QEV_TEST_UNSET_VARIABLE"));
        s.setValue(QStringLiteral("smtp/from"), QStringLiteral("cxp@korvu.com.mx"));
    }
    qunsetenv("QEV_TEST_UNSET_VARIABLE");
    const ProcessRun unset = runQev({"--config", ini, "--print-all", "--email", "--out", outDir});
    EXPECT_EQ(unset.exitCode, 1);
    EXPECT_TRUE(unset.err.contains(QStringLiteral("QEV_TEST_UNSET_VARIABLE")))
        << unset.err.toStdString();
    EXPECT_FALSE(QDir(outDir).exists() && !QDir(outDir).isEmpty());
}

// Whatever the ERP holds in a code or name (quotes, line breaks, accents), the
// message keeps it inside its own header: no Bcc, no second recipient.
TEST_F(EmailTest, CodesAndNamesFromTheCompanyCannotInjectHeaders) {
    testcompany::execute(database,
                         QStringLiteral("UPDATE OCRD SET CardName = 'Abastos \"El Güero\"' || "
                                        "char(13) || char(10) || 'Bcc: victim@example.com' "
                                        "WHERE CardCode = 'P0002'"));
    testcompany::execute(database,
                         QStringLiteral("UPDATE OCRD SET CardCode = 'P10' || char(10) || "
                                        "'Cc: victim@example.com' WHERE CardCode = 'P0010'"));
    SmtpTestServer smtp(server("mail"));
    writeIni(smtp.port());
    const ProcessRun run = mailAll();
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();  // P0003 and P0005 as always
    const QStringList messages = smtp.messages();
    ASSERT_EQ(messages.size(), 5);
    const QStringList standard = {"Date",    "From",       "Reply-To",     "To",
                                  "Subject", "Message-ID", "MIME-Version", "Content-Type"};
    for (const QString& eml : messages) {
        const QJsonObject mail = readMail(eml);
        QStringList names;
        for (const QJsonValue& v : mail["header_names"].toArray()) names << v.toString();
        EXPECT_EQ(names, standard) << eml.toStdString();
        EXPECT_EQ(mail["addresses"].toObject()["To"].toArray().size(), recipientsOf(eml).size());
        EXPECT_FALSE(recipientsOf(eml).contains(QStringLiteral("victim@example.com")));
    }
    const QJsonObject abastos = readMail(messages[1]);
    EXPECT_EQ(abastos["addresses"].toObject()["To"].toArray()[0].toArray()[0].toString(),
              QStringLiteral("Abastos \"El Güero\" Bcc: victim@example.com"));
    const QJsonObject diez = readMail(messages[4]);
    EXPECT_TRUE(diez["headers"].toObject()["Subject"].toString().endsWith(
        QStringLiteral("(P10 Cc: victim@example.com)")))
        << diez["headers"].toObject()["Subject"].toString().toStdString();
    EXPECT_EQ(diez["attachments"].toArray()[0].toObject()["filename"].toString(),
              QStringLiteral("QEV_P10_Cc_ victim@example.com.pdf"));
}

class EmailWindowTest : public EmailTest {
  protected:
    void SetUp() override {
        EmailTest::SetUp();
        previousError = setErrorBoxFunction([this](QWidget*, const QString& t, const QString& m) {
            boxes << QStringLiteral("error|") + t + u'|' + m;
        });
        previousInformation =
            setInformationBoxFunction([this](QWidget*, const QString& t, const QString& m) {
                boxes << QStringLiteral("info|") + t + u'|' + m;
            });
        form = std::make_unique<TForm1>(testcompany::settings(database, dataDir));
        fmensaje = std::make_unique<TFmensaje>();
        form->setWaitWindow(fmensaje.get());
        form->setSettingsFile(ini);
        form->statementPrinter().openFile = [this](const QString& path) { opened << path; };
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        fmensaje.reset();
        setErrorBoxFunction(previousError);
        setInformationBoxFunction(previousInformation);
    }
    void consultar(const QString& code) {
        if (form->inStatementMode()) QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
        form->Edit1->setText(code);
        QTest::mouseClick(form->Consultar, Qt::LeftButton);
    }

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFmensaje> fmensaje;
    ErrorBoxFunction previousError, previousInformation;
    QStringList boxes, opened;
};

TEST_F(EmailWindowTest, TheButtonShowsTheAddressAndTellsHowTheSendingWent) {
    SmtpTestServer smtp(server("mail"), {{}, {}, {QStringLiteral("ventas@aaron.mx")}});
    writeIni(smtp.port());
    EXPECT_FALSE(form->SBCorreo->isVisible());  // list mode

    consultar(QStringLiteral("P0001"));
    ASSERT_TRUE(form->SBCorreo->isVisible());
    EXPECT_EQ(form->SBCorreo->toolTip().section(u'\n', 0, 0), QStringLiteral("Enviar por correo"));
    EXPECT_TRUE(form->LabelCorreo->isVisible());
    EXPECT_EQ(form->LabelCorreo->text(), QStringLiteral("Enviar a: ventas@zapaterianunez.mx"));
    QTest::mouseClick(form->SBCorreo, Qt::LeftButton);
    EXPECT_EQ(boxes, QStringList{"info|qev|Estado de cuenta enviado a ventas@zapaterianunez.mx."});
    EXPECT_TRUE(opened.isEmpty());  // written to be sent, not shown
    EXPECT_FALSE(fmensaje->isVisible());  // the wait window shown while sending is gone
    ASSERT_EQ(smtp.messages().size(), 1);
    const QJsonObject mail = readMail(smtp.messages()[0]);
    EXPECT_EQ(QByteArray::fromBase64(
                  mail["attachments"].toArray()[0].toObject()["data"].toString().toLatin1()),
              contentOf(QDir(dataDir).filePath(QStringLiteral("QEV_P0001.pdf"))));
    EXPECT_EQ(log().entries().size(), 1);
    EXPECT_EQ(log().entries()[0].outcome, SendLog::Sent);

    const struct {
        const char* code;
        const char* label;
        const char* box;
    } failures[] = {
        {"P0003", "El proveedor no tiene dirección de correo.",
         "error|qev|El proveedor no tiene dirección de correo."},
        {"P0005", "La dirección de correo \"bodega azul@example\" no es válida.",
         "error|qev|La dirección de correo \"bodega azul@example\" no es válida."},
        {"P0006", "Enviar a: ventas@aaron.mx",
         "error|qev|No se envió el estado de cuenta: rechazado por el servidor: El servidor de "
         "correo rechazó el destinatario <ventas@aaron.mx>: 550 5.1.1 <ventas@aaron.mx>: buzon "
         "inexistente."},
    };
    for (const auto& f : failures) {
        boxes.clear();
        consultar(QLatin1String(f.code));
        EXPECT_EQ(form->LabelCorreo->text(), QString::fromUtf8(f.label)) << f.code;
        form->SBCorreoClick();
        EXPECT_EQ(boxes, QStringList{QString::fromUtf8(f.box)}) << f.code;
    }
    EXPECT_EQ(smtp.messages().size(), 1);

    // The window stays usable and the next message goes out.
    boxes.clear();
    consultar(QStringLiteral("P0002"));
    form->SBCorreoClick();
    EXPECT_EQ(boxes, QStringList{"info|qev|Estado de cuenta enviado a compras@abastos.mx."});
    EXPECT_EQ(smtp.messages().size(), 2);

    // A statement for a period is mailed as one.
    form->SBListaClientesClick();
    form->EditDesde->setText(QStringLiteral("01/01/2016"));
    form->EditHasta->setText(QStringLiteral("31/03/2016"));
    consultar(QStringLiteral("P0002"));
    form->SBCorreoClick();
    ASSERT_EQ(smtp.messages().size(), 3);
    EXPECT_EQ(readMail(smtp.messages()[2])["headers"].toObject()["Subject"].toString(),
              QStringLiteral("Estado de cuenta del 01/ENE/2016 al 31/MAR/2016 - Abastos del Centro "
                             "(P0002)"));
}
