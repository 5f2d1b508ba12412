#pragma once

// Data tables kept as arrays of structs: a test's _data() adds one "row"
// column holding an index, one row per entry named after its `name`, and the
// test reads its entry back with currentRow().

#include <QTest>
#include <cstddef>

template<typename Row, std::size_t N> void addRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].name) << int(i);
}

template<typename Row, std::size_t N> const Row& currentRow(const Row (&rows)[N])
{
    QFETCH(int, row);
    return rows[row];
}
