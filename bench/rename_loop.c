/* The reference of the command line bench: lists a folder and renames every file in it to
 * <lead><number><extension> without replacing anything, as short as such a program gets. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s FOLDER LEAD\n", argv[0]);
        return 64;
    }
    DIR* dir = opendir(argv[1]);
    if (dir == NULL) return 1;
    size_t count = 0, room = 1024;
    char** names = malloc(room * sizeof *names);
    for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        if (entry->d_type != DT_REG) continue;
        if (count == room) names = realloc(names, (room *= 2) * sizeof *names);
        names[count++] = strdup(entry->d_name);
    }
    const int fd = dirfd(dir);
    int failed = 0;
    char to[4096];
    for (size_t i = 0; i < count; ++i) {
        const char* dot = strrchr(names[i], '.');
        snprintf(to, sizeof to, "%s%06zu%s", argv[2], i + 1, dot != NULL ? dot : "");
        if (renameat2(fd, names[i], fd, to, RENAME_NOREPLACE) != 0) ++failed;
    }
    closedir(dir);
    return failed == 0 ? 0 : 2;
}
