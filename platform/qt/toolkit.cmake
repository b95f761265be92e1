# Qt 6 Widgets, for the layer, the tests and the benchmarks.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
