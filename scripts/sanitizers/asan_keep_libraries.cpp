// Linked into every program of the AddressSanitizer build (CORVANE_SANITIZE=address) and nowhere else.
//
// The leak check runs as the process ends and names, for each block left over, the library that allocated it;
// the suppressions in lsan.supp name libraries. Mesa's OpenGL driver (which the window tests load through the X
// server's GLX) and the libraries it pulled in are unloaded before that, when Qt lets go of OpenGL: a block they
// allocated and kept then shows as "<unknown module>", which no suppression can name. So in this build no library
// is ever unloaded: the definition below answers every dlclose() in the process (a program's own definition comes
// before the C library's, and the link exports it to the libraries) and leaves the library loaded until exit.
extern "C" int dlclose(void*)
{
    return 0;
}
