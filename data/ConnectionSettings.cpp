#include "data/ConnectionSettings.h"

#include "format/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace qev {

namespace {

const QString DemoFileName = QStringLiteral("qevdemo.sqlite");

QString defaultDataDirectory() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:/qev");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qev");
#endif
}

// A value of an ODBC connection string, braced when it holds characters that
// would otherwise end or confuse it.
QString odbcValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
        !value.contains(QLatin1Char('}')) && value.trimmed() == value)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString connectionString(const ConnectionSettings& s) {
    const QString driver = s.effectiveOdbcDriver();
    const OdbcDriverKind kind = s.odbcDriverKind();
    QStringList parts;
    parts << QLatin1String("DRIVER={") + driver + QLatin1Char('}');
    if (kind == OdbcDriverKind::MicrosoftSqlServer) {
        QString server = s.server;
        if (s.port > 0) server += QLatin1Char(',') + QString::number(s.port);
        parts << QLatin1String("SERVER=") + odbcValue(server);
        parts << QStringLiteral("ApplicationIntent=ReadOnly");
    } else {
        parts << QLatin1String("SERVER=") + odbcValue(s.server);
        if (s.port > 0) parts << QLatin1String("PORT=") + QString::number(s.port);
        // FreeTDS would hand names over in the client's code page otherwise.
        if (kind == OdbcDriverKind::FreeTds) parts << QStringLiteral("ClientCharset=UTF-8");
    }
    if (!s.database.isEmpty()) parts << QLatin1String("DATABASE=") + odbcValue(s.database);
    if (!s.user.isEmpty()) parts << QLatin1String("UID=") + odbcValue(s.user);
    if (!s.password.isEmpty()) parts << QLatin1String("PWD=") + odbcValue(s.password);
    QString text = parts.join(QLatin1Char(';'));
    if (!s.odbcOptions.isEmpty()) text += QLatin1Char(';') + s.odbcOptions;
    return text;
}

QString printable(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u'?';
    return text;
}

// QSettings reads almost anything without complaint, so a line that is
// neither "[section]", "key=value" nor a comment would silently drop a value
// (and with it, say, the real database for the demo one). Checked first.
void checkIniLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("No se puede leer el archivo de configuración \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        const bool section = line.startsWith(u'[') && line.endsWith(u']') && line.size() > 2;
        const bool value = line.indexOf(u'=') > 0 && !line.startsWith(u'[');
        if (!section && !value)
            throw Error(QStringLiteral("El archivo de configuración \"%1\" no es válido: la línea "
                                       "%2 (\"%3\") no es una sección [nombre] ni una "
                                       "clave=valor")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(number)
                            .arg(printable(line.left(60))));
    }
}

const QStringList KnownDrivers{QStringLiteral("sqlite"), QStringLiteral("postgresql"),
                               QStringLiteral("odbc")};

}  // namespace

QString unknownDriverText(const QString& driver) {
    return QStringLiteral("El controlador de base de datos \"%1\" no se conoce; use sqlite, "
                          "postgresql u odbc")
        .arg(driver);
}

QString ConnectionSettings::effectiveOdbcDriver() const {
    return odbcDriver.isEmpty() ? QStringLiteral("FreeTDS") : odbcDriver;
}

OdbcDriverKind ConnectionSettings::odbcDriverKind() const {
    const QString driver = effectiveOdbcDriver();
    if (driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive) ||
        driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive))
        return OdbcDriverKind::FreeTds;
    if (driver.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) ||
        driver.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive))
        return OdbcDriverKind::PostgreSql;
    return OdbcDriverKind::MicrosoftSqlServer;
}

bool ConnectionSettings::isPostgresServer() const {
    return driver == QLatin1String("postgresql") ||
           (driver == QLatin1String("odbc") && odbcDriverKind() == OdbcDriverKind::PostgreSql);
}

QString ConnectionSettings::odbcConnectionString() const {
    return connectionString(*this);
}

QString ConnectionSettings::defaultConfigPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/qev/qev.ini");
}

ConnectionSettings ConnectionSettings::load(const QString& iniPath) {
    const bool explicitPath = !iniPath.isEmpty() && iniPath != defaultConfigPath();
    const QString path = iniPath.isEmpty() ? defaultConfigPath() : iniPath;
    ConnectionSettings result;
    if (!QFileInfo::exists(path)) {
        // A settings file named on the command line that is not there is a
        // mistake; falling back to the demo company would show the wrong data.
        if (explicitPath)
            throw Error(QStringLiteral("No se encuentra el archivo de configuración \"%1\"")
                            .arg(QDir::toNativeSeparators(path)));
        return result;
    }
    checkIniLines(path);
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        throw Error(QStringLiteral("No se puede leer el archivo de configuración \"%1\"")
                        .arg(QDir::toNativeSeparators(path)));
    ini.beginGroup(QStringLiteral("database"));
    result.driver =
        ini.value(QStringLiteral("driver"), result.driver).toString().trimmed().toLower();
    if (!KnownDrivers.contains(result.driver))
        throw Error(QStringLiteral("Archivo de configuración \"%1\": ")
                        .arg(QDir::toNativeSeparators(path)) +
                    unknownDriverText(result.driver));
    result.server = ini.value(QStringLiteral("server")).toString();
    const QString port = ini.value(QStringLiteral("port")).toString().trimmed();
    bool portOk = true;
    result.port = port.isEmpty() ? 0 : port.toInt(&portOk);
    if (!portOk || result.port < 0 || result.port > 65535)
        throw Error(QStringLiteral("Archivo de configuración \"%1\": el puerto \"%2\" no es un "
                                   "número de puerto")
                        .arg(QDir::toNativeSeparators(path), port));
    result.database = ini.value(QStringLiteral("database")).toString();
    result.user = ini.value(QStringLiteral("user")).toString();
    result.password = ini.value(QStringLiteral("password")).toString();
    result.odbcDriver = ini.value(QStringLiteral("odbc_driver")).toString();
    result.odbcOptions = ini.value(QStringLiteral("odbc_options")).toString();
    ini.endGroup();
    ini.beginGroup(QStringLiteral("paths"));
    result.dataDirectory = ini.value(QStringLiteral("data_directory")).toString();
    result.demoDatabasePath = ini.value(QStringLiteral("demo_database")).toString();
    ini.endGroup();
    return result;
}

ConnectionSettings ConnectionSettings::fromPostgresConnInfo(const QString& connInfo) {
    ConnectionSettings result;
    result.driver = QStringLiteral("postgresql");
    const QStringList pairs = connInfo.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = pair.left(eq).trimmed();
        const QString value = pair.mid(eq + 1).trimmed();
        if (key == QLatin1String("host"))
            result.server = value;
        else if (key == QLatin1String("port"))
            result.port = value.toInt();
        else if (key == QLatin1String("user"))
            result.user = value;
        else if (key == QLatin1String("password"))
            result.password = value;
        else if (key == QLatin1String("dbname"))
            result.database = value;
    }
    return result;
}

QString ConnectionSettings::effectiveDataDirectory() const {
    const QString dir = dataDirectory.isEmpty() ? defaultDataDirectory() : dataDirectory;
    if (!QDir().mkpath(dir))
        throw Error(QStringLiteral("No se puede crear la carpeta de datos \"%1\"")
                        .arg(QDir::toNativeSeparators(dir)));
    return QDir::cleanPath(dir);
}

bool ConnectionSettings::usesDemoCompany() const {
    return driver == QLatin1String("sqlite") && database.isEmpty();
}

QString ConnectionSettings::effectiveSqlitePath() const {
    if (!database.isEmpty()) return database;
    if (!demoDatabasePath.isEmpty()) return demoDatabasePath;
    return effectiveDataDirectory() + QLatin1Char('/') + DemoFileName;
}

}  // namespace qev
