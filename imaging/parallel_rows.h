#pragma once

// Splits a range of rows into contiguous blocks and runs them on the cores of
// the machine. Each block is handed to the body as [begin, end); blocks never
// overlap, so a body that writes only its own rows needs no locks.

#include <functional>

// Runs body over [begin, end) in at most one block per core; ranges shorter
// than minRowsPerBlock per block run on the calling thread.
void ParallelRows(int begin, int end, const std::function<void(int, int)>& body, int minRowsPerBlock = 32);

// Number of blocks ParallelRows would use for the range, so that a caller can
// keep one partial result per block and merge them in block order.
int ParallelBlockCount(int begin, int end, int minRowsPerBlock = 32);

// As ParallelRows, with the index of the block passed first.
void ParallelBlocks(int begin, int end, const std::function<void(int, int, int)>& body, int minRowsPerBlock = 32);
