#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/gx/GX.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"

#include <cmath>

const u8			_RpDlCompSize[5] = { 1, 1, 2, 2, 4 };
const u8			_RpDlCompColSize[6] = { 2, 3, 4, 2, 3, 4 };
RpGameCubeVtxFmt	_RpDlVtxFmtDefault;
RwModuleInfo		_RpVtxFmtModule;
RwPluginOffset		_rpDlGeomVtxFmtOffset;
RwPluginOffset		_rpDlWorldVtxFmtOffset;

// Fraction bits normals are stored with, by type.
static const u8 NORMAL_S16_FRACTION	= 14;
static const u8 NORMAL_S8_FRACTION	= 6;
// Packed normals hold the value times 128.
static const f32 PACKED_NORMAL_SCALE	= 1.0f / 128.0f;
static const u32 ARRAY_ALIGNMENT		= 32;
static const u32 NORMAL_COMPONENTS		= 3;
static const u32 THREE_NORMAL_COMPONENTS	= 9;
// Geometry-flag bits of the attributes.
static const u32 FLAG_POSITIONS	= 0x02;
static const u32 FLAG_TEXTURED	= 0x04 | 0x80;
static const u32 FLAG_PRELIT	= 0x08;
static const u32 FLAG_NORMALS	= 0x10;

namespace {

u32 Round32( const u32 bytes ) {
	return ( bytes + ARRAY_ALIGNMENT - 1 ) & ~( ARRAY_ALIGNMENT - 1 );
}

const RpGameCubeVtxFmt& Resolve( const RpGameCubeVtxFmt* descriptor ) {
	return descriptor != nullptr ? *descriptor : _RpDlVtxFmtDefault;
}

u32 CompSize( const u8 type ) {
	return type < sizeof( _RpDlCompSize ) ? _RpDlCompSize[type] : 0;
}

// Per-vertex bytes of each attribute.
u32 PosSize( const RpGameCubeVtxFmt& f ) {
	return 3 * CompSize( f.posType );
}

u32 NormSize( const RpGameCubeVtxFmt& f ) {
	return CompSize( f.normType ) * ( f.threeNormals ? THREE_NORMAL_COMPONENTS : NORMAL_COMPONENTS );
}

u32 ColorSize( const RpGameCubeVtxFmt& f ) {
	return f.colorType < sizeof( _RpDlCompColSize ) ? _RpDlCompColSize[f.colorType] : 0;
}

u32 TexSize( const RpGameCubeVtxFmt& f, const s32 set ) {
	return 2 * CompSize( f.texType[set] );
}

bool Interleaved( const RpGameCubeVtxFmt& f ) {
	return ( f.flags & rpGCVTXFMT_INTERLEAVED ) != 0;
}

s32 Sets( const u32 flags, const s32 numTexCoordSets ) {
	if ( ( flags & FLAG_TEXTURED ) == 0 ) {
		return 0;
	}
	return numTexCoordSets < static_cast<s32>( RXGC_MAX_TEXCOORD_SETS ) ? numTexCoordSets
																		 : static_cast<s32>( RXGC_MAX_TEXCOORD_SETS );
}

// The advance after an array: its rounded size, or inside the first
// vertex when interleaved.
u32 Advance( const RpGameCubeVtxFmt& f, const u32 perVertex, const s32 numVertices ) {
	return Interleaved( f ) ? perVertex : Round32( perVertex * static_cast<u32>( numVertices ) );
}

// A normal component: f32 copied, s16 and s8 with their fixed fractions,
// unsigned types left as they are.
void StoreNormal( u8* destination, const f32 value, const u8 type ) {
	switch ( type ) {
	case rpGCCOMP_F32:
		_rwDlQuantisedStore( destination, value, type, 0 );
		break;
	case rpGCCOMP_S16:
		_rwDlQuantisedStore( destination, value, type, NORMAL_S16_FRACTION );
		break;
	case rpGCCOMP_S8:
		_rwDlQuantisedStore( destination, value, type, NORMAL_S8_FRACTION );
		break;
	default:
		break;
	}
}

void* SlotConstructor( void* object, const s32 offset, s32 ) {
	*RwPluginData<RpGameCubeVtxFmt*>( object, offset ) = nullptr;
	return object;
}

void* SlotDestructor( void* object, const s32 offset, s32 ) {
	RpGameCubeVtxFmt*& descriptor = *RwPluginData<RpGameCubeVtxFmt*>( object, offset );
	if ( descriptor != nullptr ) {
		RpGameCubeVtxFmtDestroy( descriptor );
		descriptor = nullptr;
	}
	return object;
}

}	// namespace

void _rwDlQuantisedStore( u8* destination, const f32 value, const u8 type, const u8 fractionBits ) {
	if ( type == rpGCCOMP_F32 ) {
		DTWriteBEF32( destination, value );
		return;
	}
	// Saturated to 32 bits, then cut to the type's width.
	const u32 bits = static_cast<u32>( DTFloatToS32( static_cast<f64>( value ) * std::ldexp( 1.0, fractionBits ) ) );
	if ( type == rpGCCOMP_U8 || type == rpGCCOMP_S8 ) {
		destination[0] = static_cast<u8>( bits );
	} else {
		DTWriteBE16( destination, static_cast<u16>( bits ) );
	}
}

void _rwDlQuantisedStoreRounded( u8* destination, const f32 value, const u8 type, const u8 fractionBits ) {
	if ( type == rpGCCOMP_F32 ) {
		DTWriteBEF32( destination, value );
		return;
	}
	static const f64 LOW[] = { 0.0, -128.0, 0.0, -32768.0 };
	static const f64 HIGH[] = { 255.0, 127.0, 65535.0, 32767.0 };
	const u8 index = type < rpGCCOMP_F32 ? type : static_cast<u8>( rpGCCOMP_U8 );
	f64 scaled = std::nearbyint( static_cast<f64>( value ) * std::ldexp( 1.0, fractionBits ) );
	// Not-a-number stores as 0.
	scaled = scaled == scaled ? scaled : 0.0;
	scaled = scaled < LOW[index] ? LOW[index] : ( scaled > HIGH[index] ? HIGH[index] : scaled );
	const u32 bits = static_cast<u32>( static_cast<s32>( scaled ) );
	if ( index == rpGCCOMP_U8 || index == rpGCCOMP_S8 ) {
		destination[0] = static_cast<u8>( bits );
	} else {
		DTWriteBE16( destination, static_cast<u16>( bits ) );
	}
}

f32 _rwDlQuantisedLoad( const u8* source, const u8 type, const u8 fractionBits ) {
	f64 value = 0.0;
	switch ( type ) {
	case rpGCCOMP_U8:
		value = source[0];
		break;
	case rpGCCOMP_S8:
		value = static_cast<s8>( source[0] );
		break;
	case rpGCCOMP_U16:
		value = DTReadBE16( source );
		break;
	case rpGCCOMP_S16:
		value = DTReadBES16( source );
		break;
	default:
		return DTReadBEF32( source );
	}
	return static_cast<f32>( std::ldexp( value, -static_cast<s32>( fractionBits ) ) );
}

RpGameCubeVtxFmt* RpGameCubeVtxFmtInit( RpGameCubeVtxFmt* descriptor ) {
	descriptor->posType = rpGCCOMP_F32;
	descriptor->normType = rpGCCOMP_F32;
	for ( u8& type : descriptor->texType ) {
		type = rpGCCOMP_F32;
	}
	descriptor->colorType = rpGCCOLOR_RGBA8;
	descriptor->flags = rpGCVTXFMT_DEFAULT_BIT;
	descriptor->posFrac = 0;
	descriptor->threeNormals = 0;
	for ( u8& fraction : descriptor->texFrac ) {
		fraction = 0;
	}
	descriptor->refCount = 1;
	return descriptor;
}

void RpGameCubeVtxFmtDestroy( RpGameCubeVtxFmt* descriptor ) {
	if ( descriptor->refCount == 1 ) {
		RwEngineInstance->memoryFunctions.rwfree( descriptor );
		return;
	}
	descriptor->refCount--;
}

RpGameCubeVtxFmt* RpGameCubeGeometryGetVtxFmt( const RpGeometry* geometry ) {
	const s32 offset = _rpDlGeomVtxFmtOffset.Get();
	return offset < 0 ? nullptr : *RwPluginData<RpGameCubeVtxFmt*>( const_cast<RpGeometry*>( geometry ), offset );
}

RpGameCubeVtxFmt* RpGameCubeWorldGetVtxFmt( const RpWorld* world ) {
	const s32 offset = _rpDlWorldVtxFmtOffset.Get();
	return offset < 0 ? nullptr : *RwPluginData<RpGameCubeVtxFmt*>( const_cast<RpWorld*>( world ), offset );
}

RpGameCubeVtxFmt* _RpGameCubeVtxFmtGetDefault() {
	return &_RpDlVtxFmtDefault;
}

void* _rpDlVtxFmtOpen( void* instance, s32, s32 ) {
	if ( _RpVtxFmtModule.numInstances == 0 ) {
		RpGameCubeVtxFmtInit( &_RpDlVtxFmtDefault );
	}
	_RpVtxFmtModule.numInstances++;
	return instance;
}

void* _rpDlVtxFmtClose( void* instance, s32, s32 ) {
	if ( _RpVtxFmtModule.numInstances > 0 ) {
		_RpVtxFmtModule.numInstances--;
	}
	return instance;
}

bool _rpDlVtxFmtPluginAttach() {
	const s32 slot = static_cast<s32>( sizeof( RpGameCubeVtxFmt* ) );
	if ( RwEngineRegisterPlugin( 0, rwID_VTXFMTPLUGIN, _rpDlVtxFmtOpen, _rpDlVtxFmtClose ) < 0 ) {
		return false;
	}
	_rpDlGeomVtxFmtOffset.Set( RpGeometryRegisterPlugin( slot, rwID_VTXFMTPLUGIN, SlotConstructor, SlotDestructor, nullptr ) );
	if ( _rpDlGeomVtxFmtOffset.Get() < 0 ) {
		return false;
	}
	_rpDlWorldVtxFmtOffset.Set( RpWorldRegisterPlugin( slot, rwID_VTXFMTPLUGIN, SlotConstructor, SlotDestructor, nullptr ) );
	return _rpDlWorldVtxFmtOffset.Get() >= 0;
}

void _rpDlVtxFmtGetStride( const RpGameCubeVtxFmt* descriptor, RxGCInstanceHeader* header, const s32 numTexCoordSets,
						   const u32 flags ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const s32 sets = Sets( flags, numTexCoordSets );
	u32 whole = 0;
	if ( flags & FLAG_POSITIONS ) {
		header->posStride = static_cast<u8>( PosSize( f ) );
		whole += header->posStride;
	}
	if ( flags & FLAG_NORMALS ) {
		header->normStride = static_cast<u8>( NormSize( f ) );
		whole += header->normStride;
	}
	if ( flags & FLAG_PRELIT ) {
		header->colorStride = static_cast<u8>( ColorSize( f ) );
		whole += header->colorStride;
	}
	for ( s32 k = 0; k < sets; k++ ) {
		header->texStride[k] = static_cast<u8>( TexSize( f, k ) );
		whole += header->texStride[k];
	}
	if ( !Interleaved( f ) ) {
		return;
	}
	// Every present stride becomes the size of a whole vertex.
	u8* const strides[] = { ( flags & FLAG_POSITIONS ) ? &header->posStride : nullptr,
							( flags & FLAG_NORMALS ) ? &header->normStride : nullptr,
							( flags & FLAG_PRELIT ) ? &header->colorStride : nullptr };
	for ( u8* const stride : strides ) {
		if ( stride != nullptr ) {
			*stride = static_cast<u8>( whole );
		}
	}
	for ( s32 k = 0; k < sets; k++ ) {
		header->texStride[k] = static_cast<u8>( whole );
	}
}

u32 _rpDlVtxFmtGetSize( const RpGameCubeVtxFmt* descriptor, const u32 flags, const s32 numVertices,
						const s32 numTexCoordSets ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const u32 vertices = numVertices > 0 ? static_cast<u32>( numVertices ) : 0;
	u32 sizes[3 + RXGC_MAX_TEXCOORD_SETS] = {};
	u32 count = 0;
	if ( flags & FLAG_POSITIONS ) {
		sizes[count++] = PosSize( f );
	}
	if ( flags & FLAG_NORMALS ) {
		sizes[count++] = NormSize( f );
	}
	if ( flags & FLAG_PRELIT ) {
		sizes[count++] = ColorSize( f );
	}
	for ( s32 k = 0; k < Sets( flags, numTexCoordSets ); k++ ) {
		sizes[count++] = TexSize( f, k );
	}
	u32 total = 0;
	if ( Interleaved( f ) ) {
		for ( u32 i = 0; i < count; i++ ) {
			total += sizes[i];
		}
		return Round32( total * vertices );
	}
	for ( u32 i = 0; i < count; i++ ) {
		total += Round32( sizes[i] * vertices );
	}
	return total;
}

u32 _rpDlVtxFmtInstPos( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwV3d* source, const s32 numVertices,
						const u32 stride ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const u32 size = CompSize( f.posType );
	for ( s32 i = 0; source != nullptr && i < numVertices; i++ ) {
		u8* const vertex = destination + static_cast<u32>( i ) * stride;
		_rwDlQuantisedStore( vertex, source[i].x, f.posType, f.posFrac );
		_rwDlQuantisedStore( vertex + size, source[i].y, f.posType, f.posFrac );
		_rwDlQuantisedStore( vertex + 2 * size, source[i].z, f.posType, f.posFrac );
	}
	return Advance( f, PosSize( f ), numVertices );
}

u32 _rpDlVtxFmtInstNorm( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwV3d* source, const s32 numVertices,
						 const u32 stride ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const u32 size = CompSize( f.normType );
	for ( s32 i = 0; source != nullptr && i < numVertices; i++ ) {
		u8* const vertex = destination + static_cast<u32>( i ) * stride;
		StoreNormal( vertex, source[i].x, f.normType );
		StoreNormal( vertex + size, source[i].y, f.normType );
		StoreNormal( vertex + 2 * size, source[i].z, f.normType );
	}
	return Advance( f, NormSize( f ), numVertices );
}

u32 _rpDlVtxFmtInstNormComp( const RpGameCubeVtxFmt* descriptor, u8* destination, const RpVertexNormal* source,
							 const s32 numVertices, const u32 stride ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const u32 size = CompSize( f.normType );
	for ( s32 i = 0; source != nullptr && i < numVertices; i++ ) {
		u8* const vertex = destination + static_cast<u32>( i ) * stride;
		StoreNormal( vertex, source[i].x * PACKED_NORMAL_SCALE, f.normType );
		StoreNormal( vertex + size, source[i].y * PACKED_NORMAL_SCALE, f.normType );
		StoreNormal( vertex + 2 * size, source[i].z * PACKED_NORMAL_SCALE, f.normType );
	}
	return Advance( f, NormSize( f ), numVertices );
}

u32 _rpDlVtxFmtInstColor( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwRGBA* source,
						  const s32 numVertices, const u32 stride ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	for ( s32 i = 0; source != nullptr && i < numVertices; i++ ) {
		u8* const out = destination + static_cast<u32>( i ) * stride;
		const u8 r = source[i].red;
		const u8 g = source[i].green;
		const u8 b = source[i].blue;
		const u8 a = source[i].alpha;
		switch ( f.colorType ) {
		case rpGCCOLOR_RGB565:
			DTWriteBE16( out, static_cast<u16>( ( r & 0xF8 ) << 8 | ( g & 0xFC ) << 3 | b >> 3 ) );
			break;
		case rpGCCOLOR_RGB8:
			out[0] = r;
			out[1] = g;
			out[2] = b;
			break;
		case rpGCCOLOR_RGBA4:
			DTWriteBE16( out, static_cast<u16>( ( r & 0xF0 ) << 8 | ( g & 0xF0 ) << 4 | ( b & 0xF0 ) | a >> 4 ) );
			break;
		case rpGCCOLOR_RGBA6:
			out[0] = static_cast<u8>( ( r & 0xFC ) | g >> 6 );
			out[1] = static_cast<u8>( ( ( g << 2 ) & 0xF0 ) | b >> 4 );
			out[2] = static_cast<u8>( ( ( b << 4 ) & 0xC0 ) | a >> 2 );
			break;
		case rpGCCOLOR_RGBA8:
			out[0] = r;
			out[1] = g;
			out[2] = b;
			out[3] = a;
			break;
		default:		// RGBX8: space reserved, nothing written
			break;
		}
	}
	return Advance( f, ColorSize( f ), numVertices );
}

u32 _rpDlVtxFmtInstTexCoord( const RpGameCubeVtxFmt* descriptor, const s32 set, u8* destination,
							 const RwTexCoords* source, const s32 numVertices, const u32 stride ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	const u8 type = f.texType[set];
	const u32 size = CompSize( type );
	for ( s32 i = 0; source != nullptr && i < numVertices; i++ ) {
		u8* const vertex = destination + static_cast<u32>( i ) * stride;
		_rwDlQuantisedStore( vertex, source[i].u, type, f.texFrac[set] );
		_rwDlQuantisedStore( vertex + size, source[i].v, type, f.texFrac[set] );
	}
	return Advance( f, TexSize( f, set ), numVertices );
}

void _rpDlGeometryVtxFmtInst( const RpGeometry* geometry, RxGCInstanceHeader* header, const RpGameCubeVtxFmt* descriptor,
							  const u32 flags, const s32 numTexCoordSets, u8* destination ) {
	_rpDlVtxFmtGetStride( descriptor, header, numTexCoordSets, flags );
	const s32 vertices = geometry->numVertices;
	const RpMorphTarget* const target = geometry->morphTarget;
	u8* cursor = destination;
	if ( flags & FLAG_POSITIONS ) {
		header->posArray = cursor;
		cursor += _rpDlVtxFmtInstPos( descriptor, cursor, target != nullptr ? target->verts : nullptr, vertices,
									  header->posStride );
	}
	if ( flags & FLAG_NORMALS ) {
		header->normArray = cursor;
		cursor += _rpDlVtxFmtInstNorm( descriptor, cursor, target != nullptr ? target->normals : nullptr, vertices,
									   header->normStride );
	}
	if ( flags & FLAG_PRELIT ) {
		header->colorArray = cursor;
		cursor += _rpDlVtxFmtInstColor( descriptor, cursor, geometry->preLitLum, vertices, header->colorStride );
	}
	for ( s32 k = 0; k < Sets( flags, numTexCoordSets ); k++ ) {
		header->texArray[k] = cursor;
		cursor += _rpDlVtxFmtInstTexCoord( descriptor, k, cursor, geometry->texCoords[k], vertices, header->texStride[k] );
	}
}

void _rpDlWorldSectorVtxFmtInst( const RpWorldSector* sector, RxGCInstanceHeader* header,
								 const RpGameCubeVtxFmt* descriptor, const u32 flags, const s32 numTexCoordSets,
								 u8* destination ) {
	_rpDlVtxFmtGetStride( descriptor, header, numTexCoordSets, flags );
	const s32 vertices = sector->numVertices;
	u8* cursor = destination;
	if ( flags & FLAG_POSITIONS ) {
		header->posArray = cursor;
		cursor += _rpDlVtxFmtInstPos( descriptor, cursor, sector->vertices, vertices, header->posStride );
	}
	if ( flags & FLAG_NORMALS ) {
		header->normArray = cursor;
		cursor += _rpDlVtxFmtInstNormComp( descriptor, cursor, sector->normals, vertices, header->normStride );
	}
	if ( flags & FLAG_PRELIT ) {
		header->colorArray = cursor;
		cursor += _rpDlVtxFmtInstColor( descriptor, cursor, sector->preLitLum, vertices, header->colorStride );
	}
	for ( s32 k = 0; k < Sets( flags, numTexCoordSets ); k++ ) {
		header->texArray[k] = cursor;
		cursor += _rpDlVtxFmtInstTexCoord( descriptor, k, cursor, sector->texCoords[k], vertices, header->texStride[k] );
	}
}

void _rwDlVtxFmtSetup( const RpGameCubeVtxFmt* descriptor, const u32 flags, const RxGCInstanceHeader* header ) {
	const RpGameCubeVtxFmt& f = Resolve( descriptor );
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, header->indexType );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XYZ, f.posType, f.posFrac );
	GXSetArray( GX_VA_POS, header->posArray, header->posStride );
	if ( flags & FLAG_NORMALS ) {
		const u32 attribute = f.threeNormals ? GX_VA_NBT : GX_VA_NRM;
		GXSetVtxDesc( attribute, header->indexType );
		// Normals scale by the processor's fixed fractions.
		GXSetVtxAttrFmt( GX_VTXFMT0, attribute, f.threeNormals ? 1 : GX_NRM_XYZ, f.normType, 0 );
		GXSetArray( attribute, header->normArray, header->normStride );
	}
	if ( flags & FLAG_PRELIT ) {
		GXSetVtxDesc( GX_VA_CLR0, header->indexType );
		GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_CLR0, f.colorType > rpGCCOLOR_RGBX8 ? GX_CLR_RGBA : GX_CLR_RGB, f.colorType, 0 );
		GXSetArray( GX_VA_CLR0, header->colorArray, header->colorStride );
	}
	if ( flags & FLAG_TEXTURED ) {
		for ( u32 k = 0; k < RXGC_MAX_TEXCOORD_SETS && header->texArray[k] != nullptr; k++ ) {
			GXSetVtxDesc( GX_VA_TEX0 + k, header->indexType );
			GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_TEX0 + k, GX_TEX_ST, f.texType[k], f.texFrac[k] );
			GXSetArray( GX_VA_TEX0 + k, header->texArray[k], header->texStride[k] );
		}
	}
}
