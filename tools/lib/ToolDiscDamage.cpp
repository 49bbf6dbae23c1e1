#include "tools/lib/ToolDiscDamage.h"

#include "tools/lib/ToolFile.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr u32 FLIPS_MAX				= 8;
// Half the flips land in a file's first bytes, where its counts, sizes
// and offsets live; the rest anywhere.
constexpr size_t HEAD_BYTES			= 256;
// Tries for a flip that may not land in protected bytes.
constexpr u32 FLIP_TRIES			= 64;
constexpr size_t RECORD_SIZE_WORD	= 4;
constexpr size_t RECORD_CLASS_WORD	= 12;

// splitmix64: the same numbers on every host, unlike the standard
// library's distributions.
class DamageRandom {
public:
	explicit DamageRandom( const u64 seed ) : state( seed ) {}

	u64 Next() {
		state += 0x9E3779B97F4A7C15ull;
		u64 z = state;
		z = ( z ^ ( z >> 30 ) ) * 0xBF58476D1CE4E5B9ull;
		z = ( z ^ ( z >> 27 ) ) * 0x94D049BB133111EBull;
		return z ^ ( z >> 31 );
	}

	// A number below count (count > 0).
	size_t Below( const size_t count ) { return static_cast<size_t>( Next() % count ); }

private:
	u64 state;
};

u32 ReadBE32( const std::vector<u8>& image, const size_t offset ) {
	return static_cast<u32>( image[offset] ) << 24 | static_cast<u32>( image[offset + 1] ) << 16 |
		   static_cast<u32>( image[offset + 2] ) << 8 | image[offset + 3];
}

// End of a resource file's table of contents; 0 when the table does not
// fit in the image.
size_t TableEnd( const std::vector<u8>& image ) {
	if ( image.size() < TOOL_RESOURCE_HEAD_BYTES ) {
		return 0;
	}
	const u64 end = TOOL_RESOURCE_HEAD_BYTES +
					static_cast<u64>( ReadBE32( image, ToolResourceFileWriter::CountOffset() ) ) * TOOL_RESOURCE_RECORD_BYTES;
	return end <= image.size() ? static_cast<size_t>( end ) : 0;
}

bool Inside( const std::vector<std::pair<size_t, size_t>>& ranges, const size_t offset ) {
	return std::any_of( ranges.begin(), ranges.end(),
						[offset]( const auto& range ) { return offset >= range.first && offset < range.second; } );
}

bool IsResourceName( const std::string& name ) {
	const size_t dot = name.rfind( '.' );
	std::string extension = dot == std::string::npos ? "" : name.substr( dot + 1 );
	std::transform( extension.begin(), extension.end(), extension.begin(),
					[]( const unsigned char c ) { return static_cast<char>( std::toupper( c ) ); } );
	return extension == "GCR";
}

// True when inner is outer or lies below it (both canonical).
bool Within( const fs::path& inner, const fs::path& outer ) {
	const fs::path relative = inner.lexically_relative( outer );
	return !relative.empty() && *relative.begin() != "..";
}

// A path as the file system resolves it (links, "." and ".." followed),
// made absolute first: a relative path none of whose folders exist would
// otherwise stay relative and be compared with an absolute one.
fs::path Resolved( const fs::path& path, std::error_code& failure ) {
	const fs::path absolute = fs::absolute( path, failure );
	return failure ? fs::path() : fs::weakly_canonical( absolute, failure );
}

// Why the destination may not be cleared for a copy of source: empty, a
// source that is no folder (nothing would replace what is cleared), or the
// source, holding it or inside it, as the file system resolves both paths.
// Empty when it may.
std::string RefusedDestination( const fs::path& source, const fs::path& destination ) {
	if ( destination.empty() ) {
		return "no destination given";
	}
	std::error_code failure;
	if ( !fs::is_directory( source, failure ) ) {
		return "will not replace " + destination.string() + ": the source " + source.string() +
			   ( fs::exists( source, failure ) ? " is not a folder" : " does not exist" );
	}
	const fs::path from = Resolved( source, failure );
	const fs::path to = failure ? fs::path() : Resolved( destination, failure );
	if ( failure ) {
		return "cannot resolve " + source.string() + " and " + destination.string() + ": " + failure.message();
	}
	if ( Within( from, to ) || Within( to, from ) ) {
		return "will not replace " + destination.string() + " with a copy of " + source.string() + ": one holds the other";
	}
	return std::string();
}

}	// namespace

std::vector<std::pair<size_t, size_t>> ToolDiscDamage::CodeRanges( const std::vector<u8>& image ) {
	const size_t tableEnd = TableEnd( image );
	if ( tableEnd == 0 ) {
		return { { 0, image.size() } };
	}
	std::vector<std::pair<size_t, size_t>> ranges;
	u64 start = tableEnd;
	for ( size_t record = TOOL_RESOURCE_HEAD_BYTES; record < tableEnd && start < image.size();
		  record += TOOL_RESOURCE_RECORD_BYTES ) {
		const u64 end = start + ReadBE32( image, record + RECORD_SIZE_WORD );
		const s32 classId = static_cast<s32>( ReadBE32( image, record + RECORD_CLASS_WORD ) );
		if ( classId == TOOL_CLASS_LOGIC_CODE || classId == TOOL_CLASS_LIBRARY_FILE ) {
			ranges.emplace_back( static_cast<size_t>( start ), static_cast<size_t>( std::min<u64>( end, image.size() ) ) );
		}
		start = end;
	}
	return ranges;
}

ToolFileDamage ToolDiscDamage::DamageFile( std::vector<u8>& bytes, const bool isResourceFile, const u64 seed ) {
	DamageRandom random( seed );
	ToolFileDamage damage;
	damage.originalBytes = bytes.size();
	damage.keptBytes = bytes.size();
	if ( bytes.empty() ) {
		return damage;
	}
	const std::vector<std::pair<size_t, size_t>> code = isResourceFile ? CodeRanges( bytes ) : std::vector<std::pair<size_t, size_t>>();
	std::vector<std::pair<size_t, size_t>> unflippable = code;
	if ( isResourceFile ) {
		unflippable.emplace_back( 0, TableEnd( bytes ) );
	}

	// 0: cut, 1: flips, 2: both.
	const size_t kind = random.Below( 3 );
	if ( kind != 1 ) {
		size_t kept = random.Below( bytes.size() );
		// A cut inside a code object moves back to its start.
		for ( const auto& range : code ) {
			if ( kept > range.first && kept < range.second ) {
				kept = range.first;
			}
		}
		bytes.resize( kept );
		damage.keptBytes = kept;
	}
	if ( kind != 0 && !bytes.empty() ) {
		const u32 flips = 1 + static_cast<u32>( random.Below( FLIPS_MAX ) );
		for ( u32 flip = 0; flip < flips; flip++ ) {
			for ( u32 attempt = 0; attempt < FLIP_TRIES; attempt++ ) {
				const bool head = random.Below( 2 ) == 0;
				const size_t offset = random.Below( head ? std::min( bytes.size(), HEAD_BYTES ) : bytes.size() );
				if ( Inside( unflippable, offset ) ) {
					continue;
				}
				bytes[offset] ^= static_cast<u8>( 1 + random.Below( 255 ) );
				damage.flipped.push_back( offset );
				break;
			}
		}
	}
	return damage;
}

bool ToolDiscDamage::DamageCopy( const fs::path& source, const fs::path& destination,
								 const std::vector<std::string>& candidates, const u32 filesPerDisc, const u64 seed,
								 std::vector<ToolFileDamage>& damage, std::string& error ) {
	// The destination is cleared first: one that is the source, holds it or
	// lies inside it would take the source's files with it.
	error = RefusedDestination( source, destination );
	if ( !error.empty() ) {
		return false;
	}
	std::error_code failure;
	fs::remove_all( destination, failure );
	fs::create_directories( destination.parent_path(), failure );
	fs::copy( source, destination, fs::copy_options::recursive, failure );
	if ( failure ) {
		error = "cannot copy " + source.string() + " to " + destination.string() + ": " + failure.message();
		return false;
	}
	// The first filesPerDisc of a seeded shuffle.
	DamageRandom random( seed );
	std::vector<std::string> chosen = candidates;
	const size_t count = std::min<size_t>( filesPerDisc, chosen.size() );
	for ( size_t i = 0; i < count; i++ ) {
		std::swap( chosen[i], chosen[i + random.Below( chosen.size() - i )] );
	}
	chosen.resize( count );
	damage.clear();
	for ( const std::string& name : chosen ) {
		const fs::path path = destination / name;
		std::vector<u8> bytes;
		if ( !ToolReadFile( path, bytes, error ) ) {
			return false;
		}
		ToolFileDamage file = DamageFile( bytes, IsResourceName( name ), random.Next() );
		file.name = name;
		if ( !ToolWriteFile( path, bytes, error ) ) {
			return false;
		}
		damage.push_back( file );
	}
	return true;
}

std::string ToolDiscDamage::Describe( const std::vector<ToolFileDamage>& damage ) {
	std::string text;
	for ( const ToolFileDamage& file : damage ) {
		text += file.name + ": " + std::to_string( file.keptBytes ) + " of " + std::to_string( file.originalBytes ) +
				" bytes kept, " + std::to_string( file.flipped.size() ) + " flipped";
		for ( size_t i = 0; i < file.flipped.size(); i++ ) {
			text += ( i == 0 ? " at " : ", " ) + std::to_string( file.flipped[i] );
		}
		text += "\n";
	}
	return text;
}
