#pragma once
// What the platform under test does where platforms legitimately differ or
// where a test host reproduces the platform only in part. Neutral tests ask
// here instead of assuming.

namespace zv::test {

inline bool RegistryKeepsValueWritingOrder() { return true; }
inline bool RegistryChecksCreateSubKeyRight() { return true; }
inline bool CaseTableFoldsFinalSigma() { return true; }

}  // namespace zv::test
