#include "framework/logic/EFElfFormat.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"

namespace {

const u8 ELF_MAGIC[4] = { 0x7F, 'E', 'L', 'F' };
constexpr u32 ELF_CLASS_AT	= 4;
constexpr u32 ELF_DATA_AT	= 5;

// PowerPC branch instructions keep their opcode and AA/LK bits.
constexpr u32 PPC_REL24_KEEP	= 0xFC000003;
constexpr u32 PPC_REL24_FIELD	= 0x03FFFFFC;

// ---- PowerPC: all arithmetic on 32-bit target addresses, wrapping. ----

u32 PowerPCFieldBytes( const u32 type ) {
	switch ( type ) {
		case EF_R_PPC_ADDR32:
		case EF_R_PPC_REL24:
		case EF_R_PPC_REL32:
			return 4;
		case EF_R_PPC_ADDR16_LO:
		case EF_R_PPC_ADDR16_HA:
			return 2;
		default:
			return 0;
	}
}

bool PowerPCIsKnown( const u32 ) {
	// Types outside the table are skipped, never refused.
	return true;
}

u16 HighAdjusted( const u32 value ) {
	return static_cast<u16>( ( value >> 16 ) + ( ( value >> 15 ) & 1 ) );
}

bool PowerPCApply( u8 * block, const EFElfRelocation & r, const u64 base64, const u64 memcpy64 ) {
	const u32 base = static_cast<u32>( base64 );
	const u32 memcpyAddress = static_cast<u32>( memcpy64 );
	const u32 place = static_cast<u32>( r.place );
	const u32 symbol = static_cast<u32>( r.symbolValue );
	const u32 addend = static_cast<u32>( r.addend );
	u8 * field = block + r.place;
	const u32 absolute = base + symbol + addend;
	switch ( r.type ) {
		case EF_R_PPC_ADDR32:
			if ( r.againstMemcpy ) {
				DTPrintf( "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR32)\n" );
				DTWriteBE32( field, EF_LINK_MEMCPY_MARKER );
				return true;
			}
			DTWriteBE32( field, absolute );
			return false;
		case EF_R_PPC_ADDR16_LO:
			if ( r.againstMemcpy ) {
				DTPrintf( "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_LO)\n" );
				DTWriteBE16( field, static_cast<u16>( EF_LINK_MEMCPY_MARKER ) );
				return true;
			}
			DTWriteBE16( field, static_cast<u16>( absolute ) );
			return false;
		case EF_R_PPC_ADDR16_HA:
			if ( r.againstMemcpy ) {
				DTPrintf( "FATAL ERROR: unimplemented relocation of memcpy (R_PPC_ADDR16_HA)\n" );
				DTWriteBE16( field, HighAdjusted( EF_LINK_MEMCPY_MARKER ) );
				return true;
			}
			DTWriteBE16( field, HighAdjusted( absolute ) );
			return false;
		case EF_R_PPC_REL24: {
			// memcpy is reached by its engine address; the addend is not used.
			const u32 displacement = r.againstMemcpy ? memcpyAddress - ( base + place ) : symbol + addend - place;
			const u32 instruction = DTReadBE32( field );
			DTWriteBE32( field, ( instruction & PPC_REL24_KEEP ) | ( displacement & PPC_REL24_FIELD ) );
			return false;
		}
		case EF_R_PPC_REL32:
			if ( r.againstMemcpy ) {
				DTWriteBE32( field, EF_LINK_MEMCPY_MARKER );
				return true;
			}
			DTWriteBE32( field, symbol + addend - place );
			return false;
		default:
			return false;
	}
}

// ---- x86-64: the host's modules, absolute 64-bit addresses only. ----

u32 HostFieldBytes( const u32 type ) {
	return type == EF_R_X86_64_64 ? 8 : 0;
}

bool HostIsKnown( const u32 type ) {
	return type == EF_R_X86_64_64;
}

bool HostApply( u8 * block, const EFElfRelocation & r, const u64 base, const u64 memcpyAddress ) {
	if ( r.type != EF_R_X86_64_64 ) {
		return false;
	}
	// Large-model calls load the callee's absolute address, so binding
	// memcpy is storing its address.
	const u64 value = r.againstMemcpy ? memcpyAddress + static_cast<u64>( r.addend )
									  : base + r.symbolValue + static_cast<u64>( r.addend );
	DTWriteLE64( block + r.place, value );
	return false;
}

} // namespace

const EFElfFormat gElfFormatPowerPC = {
	"PowerPC", EF_ELF_MACHINE_POWERPC, EF_ELF_CLASS_32, EF_ELF_DATA_BIG,
	52, 32, 48, 50,
	40, 0, 16, 20, 36,
	12, 4, 8,
	16, 4, 14,
	true, false,
	PowerPCFieldBytes, PowerPCIsKnown, PowerPCApply,
};

const EFElfFormat gElfFormatX86_64 = {
	"x86-64", EF_ELF_MACHINE_X86_64, EF_ELF_CLASS_64, EF_ELF_DATA_LITTLE,
	64, 40, 60, 62,
	64, 0, 24, 32, 56,
	24, 8, 16,
	24, 8, 6,
	false, true,
	HostFieldBytes, HostIsKnown, HostApply,
};

u16 EFElfFormat::Half( const u8 * p ) const {
	return bigEndian ? DTReadBE16( p ) : DTReadLE16( p );
}

u32 EFElfFormat::Word( const u8 * p ) const {
	return bigEndian ? DTReadBE32( p ) : DTReadLE32( p );
}

u64 EFElfFormat::Address( const u8 * p ) const {
	if ( wide ) {
		return bigEndian ? DTReadBE64( p ) : DTReadLE64( p );
	}
	return Word( p );
}

s64 EFElfFormat::Addend( const u8 * p ) const {
	if ( wide ) {
		return static_cast<s64>( Address( p ) );
	}
	return static_cast<s32>( Word( p ) );
}

u32 EFElfFormat::RelocationType( const u64 info ) const {
	return wide ? static_cast<u32>( info ) : static_cast<u32>( info & 0xFF );
}

u64 EFElfFormat::RelocationSymbol( const u64 info ) const {
	return wide ? info >> 32 : ( info & 0xFFFFFFFF ) >> 8;
}

const EFElfFormat * EFElfFormat::Identify( const u8 * image, const u64 size ) {
	if ( image == nullptr || size < EF_ELF_IDENT_BYTES ) {
		return nullptr;
	}
	for ( u32 i = 0; i < 4; i++ ) {
		if ( image[i] != ELF_MAGIC[i] ) {
			return nullptr;
		}
	}
	const EFElfFormat * formats[] = { &gElfFormatPowerPC, &gElfFormatX86_64 };
	for ( const EFElfFormat * format : formats ) {
		if ( image[ELF_CLASS_AT] != format->elfClass || image[ELF_DATA_AT] != format->dataEncoding ) {
			continue;
		}
		if ( size < format->headerBytes ) {
			return nullptr;
		}
		return format->Half( image + EF_ELF_MACHINE_AT ) == format->machine ? format : nullptr;
	}
	return nullptr;
}
