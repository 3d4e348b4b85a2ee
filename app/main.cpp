#include "app/StartUp.h"

int main(int argc, char** argv) {
    return qev::runQev(argc, argv);
}
