#include "tools/lib/video/ToolM4CodeWriter.h"

#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/video/ToolM4CodeLists.h"

namespace {

const char* FindValue( const std::vector<ToolM4Code>& codes, const s32 value ) {
	for ( const ToolM4Code& code : codes ) {
		if ( code.value == value ) {
			return code.bits;
		}
	}
	return nullptr;
}

u32 SizeOf( u32 magnitude ) {
	u32 size = 0;
	while ( magnitude != 0 ) {
		size++;
		magnitude >>= 1;
	}
	return size;
}

} // namespace

void ToolM4CodeWriter::WriteBits( ToolBitWriter& writer, const char* printed ) {
	for ( const char c : ToolM4CodeLists::Bits( printed ) ) {
		writer.Write( c == '1' ? 1 : 0, 1 );
	}
}

bool ToolM4CodeWriter::WriteMcbpc( ToolBitWriter& writer, const bool intraFrame, const u32 type, const u32 cbpc, const u32 stuffing ) {
	const std::vector<ToolM4Code>&	codes = intraFrame ? ToolM4CodeLists::McbpcIntra() : ToolM4CodeLists::McbpcInter();
	const char* const				code = cbpc < 4 ? FindValue( codes, static_cast<s32>( type | ( cbpc << 4 ) ) ) : nullptr;
	if ( code == nullptr ) {
		return false;
	}
	for ( u32 i = 0; i < stuffing; i++ ) {
		WriteBits( writer, FindValue( codes, TOOL_M4_STUFFING ) );
	}
	WriteBits( writer, code );
	return true;
}

bool ToolM4CodeWriter::WriteCbpy( ToolBitWriter& writer, const u32 cbpy, const bool intra ) {
	if ( cbpy > 15 ) {
		return false;
	}
	WriteBits( writer, FindValue( ToolM4CodeLists::Cbpy(), static_cast<s32>( intra ? cbpy : 15 - cbpy ) ) );
	return true;
}

bool ToolM4CodeWriter::WriteMotion( ToolBitWriter& writer, const s32 value, const u32 fcode ) {
	if ( fcode < 1 || fcode > 7 ) {
		return false;
	}
	const s64 f = static_cast<s64>( 1 ) << ( fcode - 1 );
	const s64 magnitude = value < 0 ? -static_cast<s64>( value ) : value;
	if ( magnitude > 32 * f ) {
		return false;
	}
	if ( magnitude == 0 ) {
		WriteBits( writer, FindValue( ToolM4CodeLists::Motion(), 0 ) );
		return true;
	}
	const s64 code = ( magnitude - 1 ) / f + 1;
	const s64 residual = ( magnitude - 1 ) % f;
	WriteBits( writer, FindValue( ToolM4CodeLists::Motion(), static_cast<s32>( code ) ) );
	writer.Write( value < 0 ? 1 : 0, 1 );
	if ( fcode > 1 ) {
		writer.Write( static_cast<u32>( residual ), fcode - 1 );
	}
	return true;
}

bool ToolM4CodeWriter::WriteDCSize( ToolBitWriter& writer, const u32 size, const bool luminance ) {
	const char* const code = FindValue( ToolM4CodeLists::DCSize( luminance ), static_cast<s32>( size ) );
	if ( code == nullptr ) {
		return false;
	}
	WriteBits( writer, code );
	return true;
}

bool ToolM4CodeWriter::WriteDC( ToolBitWriter& writer, const s32 difference, const bool luminance ) {
	const u32 magnitude = static_cast<u32>( difference < 0 ? -difference : difference );
	const u32 size = SizeOf( magnitude );
	if ( !WriteDCSize( writer, size, luminance ) ) {
		return false;
	}
	if ( size == 0 ) {
		return true;
	}
	// A negative difference is stored as the complement of its magnitude.
	const u32 mask = ( 1u << size ) - 1;
	writer.Write( difference < 0 ? magnitude ^ mask : magnitude, size );
	if ( size > 8 ) {
		writer.Write( 1, 1 );
	}
	return true;
}

const char* ToolM4CodeWriter::FindCoefficient( const bool intra, const u32 last, const u32 run, const u32 level ) {
	for ( const ToolM4CoefficientCode& code : ToolM4CodeLists::Coefficients( intra ) ) {
		if ( code.last == last && code.run == run && code.level == level ) {
			return code.bits;
		}
	}
	return nullptr;
}

u32 ToolM4CodeWriter::MaxLevel( const bool intra, const u32 last, const u32 run ) {
	u32 best = 0;
	for ( const ToolM4CoefficientCode& code : ToolM4CodeLists::Coefficients( intra ) ) {
		if ( code.last == last && code.run == run && code.level > best ) {
			best = code.level;
		}
	}
	return best;
}

u32 ToolM4CodeWriter::MaxRun( const bool intra, const u32 last, const u32 level ) {
	u32 best = 0;
	for ( const ToolM4CoefficientCode& code : ToolM4CodeLists::Coefficients( intra ) ) {
		if ( code.last == last && code.level == level && code.run > best ) {
			best = code.run;
		}
	}
	return best;
}

bool ToolM4CodeWriter::WriteCoefficient( ToolBitWriter& writer, const bool intra, const u32 last, const u32 run, const s32 level, ToolM4Escape* escape ) {
	if ( level == 0 || level < -2047 || level > 2047 || run > 63 || last > 1 ) {
		return false;
	}
	const u32	sign = level < 0 ? 1 : 0;
	const u32	magnitude = static_cast<u32>( level < 0 ? -level : level );
	ToolM4Escape mode = TOOL_M4_ESCAPE_NONE;
	const char* code = FindCoefficient( intra, last, run, magnitude );
	if ( code == nullptr ) {
		const u32 maxLevel = MaxLevel( intra, last, run );
		if ( maxLevel != 0 && magnitude > maxLevel ) {
			code = FindCoefficient( intra, last, run, magnitude - maxLevel );
		}
		mode = TOOL_M4_ESCAPE_LEVEL;
	}
	if ( code == nullptr ) {
		const u32 maxRun = MaxRun( intra, last, magnitude );
		if ( magnitude <= MaxLevel( intra, last, 0 ) && run > maxRun ) {
			code = FindCoefficient( intra, last, run - maxRun - 1, magnitude );
		}
		mode = TOOL_M4_ESCAPE_RUN;
	}
	if ( code == nullptr ) {
		mode = TOOL_M4_ESCAPE_FIXED;
	}
	if ( mode != TOOL_M4_ESCAPE_NONE ) {
		WriteBits( writer, ToolM4CodeLists::Escape() );
	}
	switch ( mode ) {
	case TOOL_M4_ESCAPE_LEVEL:
		writer.Write( 0, 1 );
		break;
	case TOOL_M4_ESCAPE_RUN:
		writer.Write( 2, 2 );
		break;
	case TOOL_M4_ESCAPE_FIXED:
		writer.Write( 3, 2 );
		writer.Write( last, 1 );
		writer.Write( run, 6 );
		writer.Write( 1, 1 );
		writer.Write( static_cast<u32>( level ) & 0xFFF, 12 );
		writer.Write( 1, 1 );
		break;
	default:
		break;
	}
	if ( mode != TOOL_M4_ESCAPE_FIXED ) {
		WriteBits( writer, code );
		writer.Write( sign, 1 );
	}
	if ( escape != nullptr ) {
		*escape = mode;
	}
	return true;
}

bool ToolM4CodeWriter::WriteBType( ToolBitWriter& writer, const u32 type ) {
	if ( type > 4 ) {
		return false;
	}
	writer.Write( 0, type );
	if ( type < 4 ) {
		writer.Write( 1, 1 );
	}
	return true;
}

bool ToolM4CodeWriter::WriteBQuantChange( ToolBitWriter& writer, const s32 change ) {
	switch ( change ) {
	case 0:
		writer.Write( 0, 1 );
		return true;
	case -2:
		writer.Write( 2, 2 );
		return true;
	case 2:
		writer.Write( 3, 2 );
		return true;
	default:
		return false;
	}
}
