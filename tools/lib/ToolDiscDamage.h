/*
===============================================================================

	Seeded damage for a copy of a disc folder, to boot the engine on bad
	data the way a scratched disc or a broken build would give it.

	A seed picks a few of the files named, and for each a cut (the file
	ends early) and some flipped bytes (XOR with a non-zero value). The
	same seed always gives the same damage. Logic modules are code the
	engine trusts: in a level resource file neither a cut nor a flip lands
	inside a logic-code or library-module object, and no flip lands in the
	table of contents, whose sizes place those objects.

===============================================================================
*/
#ifndef TOOL_DISC_DAMAGE_H
#define TOOL_DISC_DAMAGE_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// What was done to one file.
struct ToolFileDamage {
	std::string				name;				// disc path, '/' separated
	size_t					originalBytes = 0;
	size_t					keptBytes = 0;		// originalBytes when not cut
	std::vector<size_t>		flipped;			// offsets, in the order flipped
};

class ToolDiscDamage {
public:
	// Byte ranges [first, second) of a resource file's image no damage may
	// touch: its logic-code and library-module objects. An image whose
	// table does not fit is protected whole.
	static std::vector<std::pair<size_t, size_t>>	CodeRanges( const std::vector<u8>& image );

	// Damages one file's bytes in place; isResourceFile keeps its code and
	// table of contents whole.
	static ToolFileDamage	DamageFile( std::vector<u8>& bytes, bool isResourceFile, u64 seed );

	// Copies the disc folder source to destination (replacing it), then
	// damages filesPerDisc of the candidate files (disc paths) chosen by
	// seed. false, with a message in error, when the copy or a file fails,
	// and, touching nothing, for a source that is not a folder, an empty
	// destination or one that is the source, holds it or lies inside it.
	static bool				DamageCopy( const std::filesystem::path& source, const std::filesystem::path& destination,
										const std::vector<std::string>& candidates, u32 filesPerDisc, u64 seed,
										std::vector<ToolFileDamage>& damage, std::string& error );

	// One line per damaged file: name, bytes kept of the original, flips.
	static std::string		Describe( const std::vector<ToolFileDamage>& damage );
};

#endif
