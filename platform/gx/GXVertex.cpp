// Vertex path of the host graphics library: descriptors, formats and
// arrays; primitives written as the GPU's big-endian bytes; display lists;
// one decoder from bytes to draw records.

#include "platform/gx/GXInternal.h"

#include <cstring>

namespace {

constexpr u32 PRIMITIVE_HEADER_BYTES	= 3;		// opcode | format, u16 count
constexpr u32 LIST_ALIGNMENT			= 32;
constexpr u8  OPCODE_NOP				= 0x00;
constexpr u8  NORMAL_FRACTION_8		= 6;
constexpr u8  NORMAL_FRACTION_16		= 14;
constexpr u8  OPCODE_PRIMITIVE_MASK		= 0xF8;
constexpr u8  OPCODE_FORMAT_MASK		= 0x07;

u32 ReadBE16( const u8* p ) {
	return static_cast<u32>( p[0] ) << 8 | p[1];
}

u32 ReadBE32( const u8* p ) {
	return static_cast<u32>( p[0] ) << 24 | static_cast<u32>( p[1] ) << 16 | static_cast<u32>( p[2] ) << 8 | p[3];
}

void Put( const std::initializer_list<u8> bytes ) {
	if ( !gx.inBegin ) {
		GXHostRaiseFault( GXHOST_FAULT_OUTSIDE_BEGIN, static_cast<u32>( bytes.size() ) );
		return;
	}
	gx.primitiveBytes.insert( gx.primitiveBytes.end(), bytes );
}

void Put16( const u16 v ) {
	Put( { static_cast<u8>( v >> 8 ), static_cast<u8>( v ) } );
}

void Put32( const u32 v ) {
	Put( { static_cast<u8>( v >> 24 ), static_cast<u8>( v >> 16 ), static_cast<u8>( v >> 8 ), static_cast<u8>( v ) } );
}

void PutF32( const f32 v ) {
	Put32( std::bit_cast<u32>( v ) );
}

bool IsPrimitive( const u32 opcode ) {
	switch ( opcode ) {
		case GX_QUADS: case GX_TRIANGLES: case GX_TRIANGLESTRIP: case GX_TRIANGLEFAN:
		case GX_LINES: case GX_LINESTRIP: case GX_POINTS:
			return true;
		default:
			return false;
	}
}

u32 ComponentBytes( const u32 type ) {
	switch ( type ) {
		case GX_U8: case GX_S8: return 1;
		case GX_U16: case GX_S16: return 2;
		default: return 4;
	}
}

u32 ColourBytes( const u32 type ) {
	switch ( type ) {
		case GX_RGB565: case GX_RGBA4: return 2;
		case GX_RGB8: case GX_RGBA6: return 3;
		default: return 4;
	}
}

bool IsColour( const u32 attr ) {
	return attr == GX_VA_CLR0 || attr == GX_VA_CLR1;
}

u32 Components( const u32 attr, const u32 count ) {
	if ( attr == GX_VA_POS ) {
		return count == GX_POS_XY ? 2 : 3;
	}
	if ( attr == GX_VA_NRM ) {
		return 3;
	}
	return count == GX_TEX_S ? 1 : 2;
}

// Bytes of one attribute's value in its own format.
u32 ValueBytes( const u32 attr, const GXAttrFormat& f ) {
	if ( attr < GX_VA_POS ) {
		return 1;
	}
	if ( IsColour( attr ) ) {
		return ColourBytes( f.type );
	}
	return Components( attr, f.count ) * ComponentBytes( f.type );
}

f32 Component( const u8* p, const u32 type, const u8 fractionBits ) {
	const f32 scale = 1.0f / static_cast<f32>( 1u << ( fractionBits & 31 ) );
	switch ( type ) {
		case GX_U8: return static_cast<f32>( p[0] ) * scale;
		case GX_S8: return static_cast<f32>( static_cast<s8>( p[0] ) ) * scale;
		case GX_U16: return static_cast<f32>( ReadBE16( p ) ) * scale;
		case GX_S16: return static_cast<f32>( static_cast<s16>( ReadBE16( p ) ) ) * scale;
		default: return std::bit_cast<f32>( ReadBE32( p ) );
	}
}

u8 Expand( const u32 value, const u32 bits ) {
	return static_cast<u8>( ( value << ( 8 - bits ) ) | ( value >> ( 2 * bits - 8 ) ) );
}

GXColor DecodeColour( const u8* p, const u32 type ) {
	switch ( type ) {
		case GX_RGB565: {
			const u32 v = ReadBE16( p );
			return { Expand( v >> 11, 5 ), Expand( ( v >> 5 ) & 0x3F, 6 ), Expand( v & 0x1F, 5 ), 0xFF };
		}
		case GX_RGBA4: {
			const u32 v = ReadBE16( p );
			return { static_cast<u8>( ( v >> 12 ) * 17 ), static_cast<u8>( ( ( v >> 8 ) & 0xF ) * 17 ),
					 static_cast<u8>( ( ( v >> 4 ) & 0xF ) * 17 ), static_cast<u8>( ( v & 0xF ) * 17 ) };
		}
		case GX_RGBA6: {
			const u32 v = static_cast<u32>( p[0] ) << 16 | static_cast<u32>( p[1] ) << 8 | p[2];
			return { Expand( v >> 18, 6 ), Expand( ( v >> 12 ) & 0x3F, 6 ), Expand( ( v >> 6 ) & 0x3F, 6 ),
					 Expand( v & 0x3F, 6 ) };
		}
		case GX_RGB8: case GX_RGBX8:
			return { p[0], p[1], p[2], 0xFF };
		default:
			return { p[0], p[1], p[2], p[3] };
	}
}

// Stores one attribute value found at p.
void StoreValue( GXHostVertex& v, const u32 attr, const GXAttrFormat& f, const u8* p ) {
	v.present |= 1u << attr;
	if ( attr == GX_VA_PNMTXIDX ) {
		v.matrixIndex = p[0];
		return;
	}
	if ( attr < GX_VA_POS ) {
		return;
	}
	if ( IsColour( attr ) ) {
		v.colour[attr - GX_VA_CLR0] = DecodeColour( p, f.type );
		return;
	}
	const u32 n = Components( attr, f.count );
	const u32 size = ComponentBytes( f.type );
	f32* out = attr == GX_VA_POS ? v.position : attr == GX_VA_NRM ? v.normal : v.texCoord[attr - GX_VA_TEX0];
	// Normals ignore the format's fraction: the processor scales 8-bit
	// components by 2^-6 and 16-bit ones by 2^-14.
	u8 fraction = f.fractionBits;
	if ( attr == GX_VA_NRM && size < 4 ) {
		fraction = size == 1 ? NORMAL_FRACTION_8 : NORMAL_FRACTION_16;
	}
	for ( u32 i = 0; i < n; i++ ) {
		out[i] = Component( p + i * size, f.type, fraction );
	}
}

}	// namespace

u32 GXVertexSize( const u32 format ) {
	u32 size = 0;
	for ( u32 attr = 0; attr < GX_VA_NBT; attr++ ) {
		switch ( gx.vtxDesc[attr] ) {
			case GX_DIRECT: size += ValueBytes( attr, gx.attrFormat[format][attr] ); break;
			case GX_INDEX8: size += 1; break;
			case GX_INDEX16: size += 2; break;
			default: break;
		}
	}
	return size;
}

void GXDecodeVertices( GXHostDraw& draw, const u8* data, const u32 count ) {
	const u32 format = draw.format;
	for ( u32 n = 0; n < count; n++ ) {
		GXHostVertex v = {};
		for ( u32 attr = 0; attr < GX_VA_NBT; attr++ ) {
			const u32 type = gx.vtxDesc[attr];
			const GXAttrFormat& f = gx.attrFormat[format][attr];
			if ( type == GX_DIRECT ) {
				StoreValue( v, attr, f, data );
				data += ValueBytes( attr, f );
			} else if ( type == GX_INDEX8 || type == GX_INDEX16 ) {
				const u32 index = type == GX_INDEX8 ? data[0] : ReadBE16( data );
				data += type == GX_INDEX8 ? 1 : 2;
				if ( gx.arrays[attr].base != nullptr ) {
					StoreValue( v, attr, f, gx.arrays[attr].base + index * gx.arrays[attr].stride );
				}
			}
		}
		draw.vertices.push_back( v );
	}
}

void GXClearVtxDesc() {
	std::memset( gx.vtxDesc, 0, sizeof( gx.vtxDesc ) );
	GXRecord( GXHOST_CLEAR_VTX_DESC, {} );
}

void GXSetVtxDesc( const u32 attr, const u32 type ) {
	if ( attr < GX_VA_MAX_ATTR ) {
		gx.vtxDesc[attr] = type;
	}
	GXRecord( GXHOST_SET_VTX_DESC, { attr, type } );
}

void GXSetVtxAttrFmt( const u32 format, const u32 attr, const u32 count, const u32 type, const u8 fractionBits ) {
	if ( format < GX_MAX_VTXFMT && attr < GX_VA_MAX_ATTR ) {
		gx.attrFormat[format][attr] = { count, type, fractionBits };
	}
	GXRecord( GXHOST_SET_VTX_ATTR_FMT, { format, attr, count, type, fractionBits } );
}

void GXSetArray( const u32 attr, const void* base, const u8 stride ) {
	if ( attr < GX_VA_MAX_ATTR ) {
		gx.arrays[attr] = { static_cast<const u8*>( base ), stride };
	}
	GXRecord( GXHOST_SET_ARRAY, { attr, GXWord( base ), stride } );
}

void GXInvalidateVtxCache() {
	gx.vtxInvalidations++;
	GXRecord( GXHOST_INVALIDATE_VTX_CACHE, {} );
}

void GXBegin( const u32 primitive, const u32 format, const u16 vertices ) {
	GXRecordCpu( GXHOST_BEGIN, { primitive, format, vertices } );
	gx.inBegin = true;
	gx.beginPrimitive = primitive;
	gx.beginFormat = format & OPCODE_FORMAT_MASK;
	gx.beginCount = vertices;
	gx.primitiveBytes.clear();
	Put( { static_cast<u8>( primitive | gx.beginFormat ) } );
	Put16( vertices );
}

// Decodes the primitive at bytes (header included) into a draw record.
static GXHostDraw DecodePrimitive( const u8* bytes, const u32 size, const bool fromList ) {
	GXHostDraw draw;
	draw.primitive = bytes[0] & OPCODE_PRIMITIVE_MASK;
	draw.format = bytes[0] & OPCODE_FORMAT_MASK;
	draw.announced = static_cast<u16>( ReadBE16( bytes + 1 ) );
	draw.fromDisplayList = fromList;
	draw.countFault = false;
	const u32 vertexSize = GXVertexSize( draw.format );
	const u32 dataBytes = size - PRIMITIVE_HEADER_BYTES;
	const u32 written = vertexSize > 0 ? dataBytes / vertexSize : 0;
	if ( written != draw.announced || ( vertexSize > 0 && dataBytes % vertexSize != 0 ) ) {
		draw.countFault = true;
		GXHostRaiseFault( GXHOST_FAULT_VERTEX_COUNT, draw.announced );
	}
	GXDecodeVertices( draw, bytes + PRIMITIVE_HEADER_BYTES, written );
	draw.state = gx.render;
	return draw;
}

void GXEnd() {
	if ( !gx.inBegin ) {
		return;
	}
	gx.inBegin = false;
	GXRecordCpu( GXHOST_END, { static_cast<u32>( gx.primitiveBytes.size() ) } );
	const u32 size = static_cast<u32>( gx.primitiveBytes.size() );
	if ( gx.inList ) {
		if ( gx.listSize + size > gx.listCapacity ) {
			if ( !gx.listOverflow ) {
				GXHostRaiseFault( GXHOST_FAULT_LIST_OVERFLOW, gx.listSize + size );
			}
			gx.listOverflow = true;
			return;
		}
		std::memcpy( gx.listBuffer + gx.listSize, gx.primitiveBytes.data(), size );
		gx.listSize += size;
		return;
	}
	GXLogDraw( DecodePrimitive( gx.primitiveBytes.data(), size, false ) );
	GXWriteCommand( GXCOMMAND_DRAW, size );
}

void GXPosition3f32( const f32 x, const f32 y, const f32 z ) { PutF32( x ); PutF32( y ); PutF32( z ); }
void GXPosition2f32( const f32 x, const f32 y ) { PutF32( x ); PutF32( y ); }
void GXPosition3s16( const s16 x, const s16 y, const s16 z ) {
	Put16( static_cast<u16>( x ) ); Put16( static_cast<u16>( y ) ); Put16( static_cast<u16>( z ) );
}
void GXPosition2s16( const s16 x, const s16 y ) { Put16( static_cast<u16>( x ) ); Put16( static_cast<u16>( y ) ); }
void GXPosition1x8( const u8 index ) { Put( { index } ); }
void GXPosition1x16( const u16 index ) { Put16( index ); }
void GXNormal3f32( const f32 x, const f32 y, const f32 z ) { PutF32( x ); PutF32( y ); PutF32( z ); }
void GXNormal1x8( const u8 index ) { Put( { index } ); }
void GXNormal1x16( const u16 index ) { Put16( index ); }
void GXColor4u8( const u8 r, const u8 g, const u8 b, const u8 a ) { Put( { r, g, b, a } ); }
void GXColor1u32( const u32 rgba ) { Put32( rgba ); }
void GXColor1x8( const u8 index ) { Put( { index } ); }
void GXColor1x16( const u16 index ) { Put16( index ); }
void GXTexCoord2f32( const f32 s, const f32 t ) { PutF32( s ); PutF32( t ); }
void GXTexCoord2s16( const s16 s, const s16 t ) { Put16( static_cast<u16>( s ) ); Put16( static_cast<u16>( t ) ); }
void GXTexCoord2u16( const u16 s, const u16 t ) { Put16( s ); Put16( t ); }
void GXTexCoord1x8( const u8 index ) { Put( { index } ); }
void GXTexCoord1x16( const u16 index ) { Put16( index ); }
void GXMatrixIndex1u8( const u8 index ) { Put( { index } ); }

void GXBeginDisplayList( void* list, const u32 size ) {
	GXRecordCpu( GXHOST_BEGIN_DISPLAY_LIST, { GXWord( list ), size } );
	gx.inList = true;
	gx.listBuffer = static_cast<u8*>( list );
	gx.listCapacity = size;
	gx.listSize = 0;
	gx.listOverflow = false;
}

u32 GXEndDisplayList() {
	if ( !gx.inList ) {
		return 0;
	}
	gx.inList = false;
	u32 padded = ( gx.listSize + LIST_ALIGNMENT - 1 ) & ~( LIST_ALIGNMENT - 1 );
	if ( !gx.listOverflow && padded > gx.listCapacity ) {
		GXHostRaiseFault( GXHOST_FAULT_LIST_OVERFLOW, padded );
		gx.listOverflow = true;
	}
	if ( gx.listOverflow ) {
		padded = 0;
	} else {
		std::memset( gx.listBuffer + gx.listSize, OPCODE_NOP, padded - gx.listSize );
	}
	GXRecordCpu( GXHOST_END_DISPLAY_LIST, { padded } );
	return padded;
}

void GXCallDisplayList( const void* list, const u32 bytes ) {
	GXRecord( GXHOST_CALL_DISPLAY_LIST, { GXWord( list ), bytes } );
	const u8* const data = static_cast<const u8*>( list );
	u32 at = 0;
	while ( at < bytes ) {
		const u8 opcode = data[at];
		if ( opcode == OPCODE_NOP ) {
			at++;
			continue;
		}
		if ( !IsPrimitive( opcode & OPCODE_PRIMITIVE_MASK ) || at + PRIMITIVE_HEADER_BYTES > bytes ) {
			GXHostRaiseFault( GXHOST_FAULT_BAD_LIST, at );
			return;
		}
		const u32 count = ReadBE16( data + at + 1 );
		const u32 size = PRIMITIVE_HEADER_BYTES + count * GXVertexSize( opcode & OPCODE_FORMAT_MASK );
		if ( at + size > bytes ) {
			GXHostRaiseFault( GXHOST_FAULT_BAD_LIST, at );
			return;
		}
		GXLogDraw( DecodePrimitive( data + at, size, true ) );
		at += size;
	}
}
