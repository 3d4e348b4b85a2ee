#include "StatementBuildFixture.h"

namespace qev::testing {

const char* backendName(Backend backend) {
    switch (backend) {
        case Backend::Sqlite:
            return "Sqlite";
        case Backend::Postgres:
            return "Postgres";
        case Backend::Odbc:
            return "Odbc";
    }
    return "?";
}

void PrintTo(Backend backend, std::ostream* os) {
    *os << backendName(backend);
}

FixtureCompany* FixtureCompanies::companyFor(Backend backend) {
    auto& company = companies[backend];
    if (!company) {
        switch (backend) {
            case Backend::Sqlite:
                company = FixtureCompany::sqlite(directory->path());
                break;
            case Backend::Postgres:
                company = FixtureCompany::postgres();
                break;
            case Backend::Odbc:
                company = FixtureCompany::odbc();
                break;
        }
    }
    return company.get();
}

namespace {

[[maybe_unused]] auto* const fixtureCompanies =
    ::testing::AddGlobalTestEnvironment(new FixtureCompanies);

}  // namespace

}  // namespace qev::testing
