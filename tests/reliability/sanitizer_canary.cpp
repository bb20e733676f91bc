// Commits one deliberate fault, named by its argument, so the tests can check that the build's sanitizer reports it and fails the run.
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Stores the compiler may not drop.
int* volatile lost = nullptr;
volatile int sink = 0;

int HeapOverflow()
{
    std::vector<int>* v = new std::vector<int>(8);
    int* data = v->data();
    volatile int at = 8;
    data[at] = 1; // one past the end
    delete v;
    return 0;
}

int SignedOverflow()
{
    volatile int big = INT_MAX;
    sink = big + 1;
    return 0;
}

int FloatToIntOverflow()
{
    volatile long double huge = 1e30L;
    sink = static_cast<int>(huge);
    return 0;
}

// A widget whose event handler loses memory: the allocation's stack runs
// through Qt's libraries, so a suppression by library would hide it.
class LeakyWidget : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            lost = new int[1000];
        return QWidget::event(e);
    }
};

int LeakInHandlers(int argc, char** argv)
{
    QApplication app(argc, argv);
    LeakyWidget w;
    QTimer::singleShot(0, [&] {
        lost = new int[500]; // lost from a timer's slot
        lost = nullptr;
        QApplication::postEvent(&w, new QEvent(QEvent::User));
        QTimer::singleShot(0, [] {
            lost = nullptr;
            QApplication::quit();
        });
    });
    return QApplication::exec();
}

// Two threads, one a QThread, write the same plain int without ordering.
class Writer : public QThread {
public:
    explicit Writer(int* target) : target_(target) {}

protected:
    void run() override
    {
        for (int i = 0; i < 100000; ++i)
            *target_ = *target_ + 1;
    }

private:
    int* target_;
};

int Race(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int* shared = new int(0);
    Writer writer(shared);
    writer.start();
    for (int i = 0; i < 100000; ++i)
        *shared = *shared + 1;
    writer.wait();
    sink = *shared;
    delete shared;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "heap-overflow") == 0)
        return HeapOverflow();
    if (std::strcmp(mode, "signed-overflow") == 0)
        return SignedOverflow();
    if (std::strcmp(mode, "float-to-int") == 0)
        return FloatToIntOverflow();
    if (std::strcmp(mode, "leak") == 0)
        return LeakInHandlers(argc, argv);
    if (std::strcmp(mode, "race") == 0)
        return Race(argc, argv);
    std::fprintf(stderr, "usage: sanitizer_canary heap-overflow|signed-overflow|float-to-int|leak|race\n");
    return 2;
}
