/* A plug-in for the loader's tests; the build defines which kind it is. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

struct Desc {
    int32_t size;
    uint32_t value;
    char name[32];
};

int Install(struct Desc* desc, int* host) {
#ifdef PLUGIN_REJECT
    (void)desc;
    (void)host;
    return 1;
#else
    /* The value tells the test what the host handed over. */
    desc->value = (uint32_t)(desc->size * 1000 + *host);
#ifdef PLUGIN_FILL_NAME
    memset(desc->name, 'N', sizeof desc->name);
#else
    memset(desc->name, 0, sizeof desc->name);
    strncpy(desc->name, PLUGIN_NAME, sizeof desc->name - 1);
#endif
    return 0;
#endif
}

#ifndef PLUGIN_NO_CALL
int Call(int x) {
    return x * 2;
}
#endif

#ifndef PLUGIN_NO_EXIT
void Exit(void) {
    FILE* f = fopen("exits.log", "a");
    if (f) {
        fputs(PLUGIN_NAME "\n", f);
        fclose(f);
    }
}
#endif
