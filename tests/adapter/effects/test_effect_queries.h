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
};
