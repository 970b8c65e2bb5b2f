// main() of the adapter tests, set up as the programs' main() is: the Qt application first
// (it sets the C locale from the environment), then the "C" numeric category the audio
// engine needs. The HTTP tests find the application already there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <clocale>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // NOLINT(concurrency-mt-unsafe): no other thread yet
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
