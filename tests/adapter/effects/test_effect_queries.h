// effVendorSpecific indices the test effects answer, for the tests to read their records.
#pragma once

enum TestEffectQuery {
    kQueryAutomate = 1,        // audioMasterAutomate(value, opt)
    kQueryUpdateDisplay,       // audioMasterUpdateDisplay
    kQuerySetCount,            // setParameter calls for parameter value
    kQueryOpens,
    kQueryMains,
    kQueryBlockSize,
    kQuerySampleRate,
    kQuerySampleRateCalls,
    kQueryEntrySampleRate,     // what the host answered during the entry call
    kQueryEntryBlockSize,
    kQueryEntryTime,
    kQueryProcessCalls,
    kQueryProcessFrames,       // frames of process call value
    kQueryHost,                // audioMaster(opcode value, index (int) opt, ptr)
    kQueryMidiBatches,         // effProcessEvents calls
    kQueryMidiBatchSize,       // events in effProcessEvents call value
    kQueryMidiEvents,          // events received in all
    kQueryMidiEventBytes,      // event value's four bytes, first in the highest byte
    kQueryMidiEventDelta,      // event value's deltaFrames
    kQueryMidiBatchAtCall,     // process call before which effProcessEvents call value came
    kQueryTimeTempoMilli,      // what audioMasterGetTime said in the last process call
    kQueryTimePpqMilli,
    kQueryTimeFlags,
    kQueryTimeSignature,       // numerator * 100 + denominator
    kQuerySetChunkSize,        // value of the last effSetChunk, -1 before one
    kQuerySetChunkByte,        // byte value of the last effSetChunk's data
    kQuerySideChainSum,        // of channels 2 and 3 over every process call
    kQueryEditorOpens,
    kQueryEditorCloses,
    kQueryEditorIdles,
    kQueryEditorParent,        // the window of the last effEditOpen
    kQueryTimeSampleRate,      // the time info's sampleRate in the last process call
    kQueryHostSampleRate,      // audioMasterGetSampleRate in the last process call
    kQueryReceivedInput,       // copies the input record of channel value to ptr; answers its length
    kQueryTornStates,          // slow-state flavour: process calls that found the state torn
};

// Input samples per channel the test effects record, from their first process call on.
inline constexpr int kTestEffectInputRecord = 4096;

// The colour the editor flavour's window shows (0xRRGGBB).
inline constexpr unsigned long kTestEditorColour = 0x3366cc;
