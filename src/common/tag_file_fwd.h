#pragma once

// The reader and writer of the tagged text format, for headers that only
// pass them by reference.
namespace VARDCommon
{
class CTagFileReader;
class CTagFileWriter;
class CDataFileFactory;
} // namespace VARDCommon
