// papyra-admin: the administrator's companion to papyra.
#include "admin/Commands.h"

int main(int argc, char** argv) {
    return papyra::admin::RunAdmin(argc, argv);
}
