#pragma once

// The option objects of a report: values stored with the template.

#include "report/frxTypes.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

namespace qev {

class TfrxEngineOptions {
    Q_GADGET
    Q_PROPERTY(bool ConvertNulls MEMBER ConvertNulls)
    Q_PROPERTY(bool DestroyForms MEMBER DestroyForms)
    Q_PROPERTY(bool DoublePass MEMBER DoublePass)
    Q_PROPERTY(bool EnableThreadSafe MEMBER EnableThreadSafe)
    Q_PROPERTY(bool IgnoreDevByZero MEMBER IgnoreDevByZero)
    Q_PROPERTY(int MaxMemSize MEMBER MaxMemSize)
    Q_PROPERTY(qev::frx::TfrxSilentMode NewSilentMode MEMBER NewSilentMode)
    Q_PROPERTY(bool PrintIfEmpty MEMBER PrintIfEmpty)
    Q_PROPERTY(QString TempDir MEMBER TempDir)
    Q_PROPERTY(bool UseFileCache MEMBER UseFileCache)
    Q_PROPERTY(bool UseGlobalDataSetList MEMBER UseGlobalDataSetList)

  public:
    // A Null field read through an expression becomes 0, "" or False by type.
    bool ConvertNulls = true;
    // Snapshot the template before preparing and restore it afterwards.
    bool DestroyForms = true;
    bool DoublePass = false;
    bool EnableThreadSafe = false;
    bool IgnoreDevByZero = false;
    int MaxMemSize = 10;
    frx::TfrxSilentMode NewSilentMode = frx::simMessageBoxes;
    bool PrintIfEmpty = true;
    QString TempDir;
    bool UseFileCache = false;
    bool UseGlobalDataSetList = true;

    bool operator==(const TfrxEngineOptions&) const = default;
};

// Descriptive data. Dates are days since 30 December 1899 (fraction: time).
class TfrxReportOptions {
    Q_GADGET
    Q_PROPERTY(QString Author MEMBER Author)
    Q_PROPERTY(double CreateDate MEMBER CreateDate)
    Q_PROPERTY(QStringList Description MEMBER Description)
    Q_PROPERTY(double LastChange MEMBER LastChange)
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(QString Password MEMBER Password)
    Q_PROPERTY(QString VersionBuild MEMBER VersionBuild)
    Q_PROPERTY(QString VersionMajor MEMBER VersionMajor)
    Q_PROPERTY(QString VersionMinor MEMBER VersionMinor)
    Q_PROPERTY(QString VersionRelease MEMBER VersionRelease)

  public:
    QString Author;
    double CreateDate = 0;
    QStringList Description;
    double LastChange = 0;
    QString Name;
    QString Password;
    QString VersionBuild, VersionMajor, VersionMinor, VersionRelease;

    bool operator==(const TfrxReportOptions&) const = default;
};

// Printing settings (stored, not used by this system).
class TfrxPrintOptions {
    Q_GADGET
    Q_PROPERTY(bool Collate MEMBER Collate)
    Q_PROPERTY(int Copies MEMBER Copies)
    Q_PROPERTY(QString PageNumbers MEMBER PageNumbers)
    Q_PROPERTY(QString Printer MEMBER Printer)
    Q_PROPERTY(int PrintOnSheet MEMBER PrintOnSheet)
    Q_PROPERTY(bool ShowDialog MEMBER ShowDialog)

  public:
    bool Collate = true;
    int Copies = 1;
    QString PageNumbers;
    QString Printer = QStringLiteral("Default");
    int PrintOnSheet = 0;
    bool ShowDialog = true;

    bool operator==(const TfrxPrintOptions&) const = default;
};

// Preview settings (stored; PagesInCache bounds the cache of rebuilt pages).
class TfrxPreviewOptions {
    Q_GADGET
    Q_PROPERTY(bool AllowEdit MEMBER AllowEdit)
    Q_PROPERTY(qev::frx::TfrxPreviewButtons Buttons MEMBER Buttons)
    Q_PROPERTY(bool Modal MEMBER Modal)
    Q_PROPERTY(int PagesInCache MEMBER PagesInCache)
    Q_PROPERTY(bool ShowCaptions MEMBER ShowCaptions)
    Q_PROPERTY(double Zoom MEMBER Zoom)

  public:
    bool AllowEdit = true;
    frx::TfrxPreviewButtons Buttons = frx::pbPrint | frx::pbLoad | frx::pbSave | frx::pbExport |
                                      frx::pbZoom | frx::pbFind | frx::pbOutline |
                                      frx::pbPageSetup | frx::pbTools | frx::pbEdit |
                                      frx::pbNavigator | frx::pbExportQuick;
    bool Modal = true;
    int PagesInCache = 50;
    bool ShowCaptions = false;
    double Zoom = 1.0;

    bool operator==(const TfrxPreviewOptions&) const = default;
};

}  // namespace qev

Q_DECLARE_METATYPE(qev::TfrxEngineOptions)
Q_DECLARE_METATYPE(qev::TfrxReportOptions)
Q_DECLARE_METATYPE(qev::TfrxPrintOptions)
Q_DECLARE_METATYPE(qev::TfrxPreviewOptions)
