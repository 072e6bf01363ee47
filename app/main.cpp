#include "app/RunDesk.h"

int main(int argc, char** argv)
{
    return runDesk(argc, argv);
}
