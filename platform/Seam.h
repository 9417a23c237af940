// One style for every test seam: the OS calls a piece of code makes, as a
// class whose virtual functions make the real calls. The code calls them
// through Api::Current(); a test installs an object of its own derived class
// with Api::Install (null: the real calls again), which returns the previous
// one. Each Api defines the two pointers in its .cpp, constant-initialised:
//   template <> Api* Seam<Api>::real = &realApi;
//   template <> Api* Seam<Api>::current = &realApi;
#pragma once

template <typename Api>
class Seam {
public:
    static Api& Current() { return *current; }
    static Api* Install(Api* api) {
        Api* previous = current;
        current = api != nullptr ? api : real;
        return previous;
    }

private:
    static Api* real;
    static Api* current;
};
