#pragma once

class ConversionBatch;
class QueueDispatcher;
class TCustomMediaEngine;

// Runs the engine's tasks one at a time and hands their ends to the batch on
// this thread, as the front ends do; false when they did not all end within a
// minute.
bool RunBatchOnThisThread(TCustomMediaEngine& engine, QueueDispatcher& dispatcher, ConversionBatch& batch);
