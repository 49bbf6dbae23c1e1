#include "graphics3d/world/RpGeometry.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/gamecube/RpNativeGeometry.h"
#include "graphics3d/world/RpBinMesh.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

// The struct: format, triangle, vertex and morph-target counts, then, in
// chunks older than RPGEOMETRY_SURFACE_VERSION, the surface properties.
static const u32 STRUCT_COUNTS_BYTES		= 16;
static const u32 STRUCT_WITH_SURFACE_BYTES	= 28;
static const u32 RPGEOMETRY_SURFACE_VERSION	= 0x34001;
static const u32 MORPH_RECORD_BYTES			= 24;
static const u32 TRIANGLE_BYTES				= 8;
// Stored bytes of one vertex position: three floats.
static const u32 POSITION_BYTES				= 12;
// Bytes of a chunk header.
static const u32 CHUNK_HEADER_BYTES			= 12;
static const u32 READ_GROUP_BYTES			= 4096;

// The native-data entry of a geometry.
static const u32 rwID_NATIVEDATAPLUGIN		= 0x510;

namespace {

bool ReadExactly( RwStream* stream, void* buffer, const u32 bytes ) {
	return RwStreamRead( stream, buffer, bytes ) == bytes;
}

// Reads count little-endian floats into out, in groups.
bool ReadFloats( RwStream* stream, f32* out, const u64 count ) {
	u8 bytes[READ_GROUP_BYTES];
	for ( u64 i = 0; i < count; ) {
		const u64 group = count - i < READ_GROUP_BYTES / 4 ? count - i : READ_GROUP_BYTES / 4;
		if ( !ReadExactly( stream, bytes, static_cast<u32>( group * 4 ) ) ) {
			return false;
		}
		for ( u64 k = 0; k < group; k++ ) {
			out[i + k] = DTReadLEF32( bytes + k * 4 );
		}
		i += group;
	}
	return true;
}

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

bool ReadTriangles( RwStream* stream, RpGeometry* geometry ) {
	u8 bytes[TRIANGLE_BYTES];
	for ( s32 i = 0; i < geometry->numTriangles; i++ ) {
		if ( !ReadExactly( stream, bytes, TRIANGLE_BYTES ) ) {
			return false;
		}
		const u32 first = DTReadLE32( bytes );
		const u32 second = DTReadLE32( bytes + 4 );
		RpTriangle& triangle = geometry->triangles[i];
		triangle.vertIndex[0] = static_cast<u16>( first >> 16 );
		triangle.vertIndex[1] = static_cast<u16>( first );
		triangle.vertIndex[2] = static_cast<u16>( second >> 16 );
		triangle.matIndex = static_cast<s16>( second );
		for ( const u16 v : triangle.vertIndex ) {
			if ( v >= geometry->numVertices ) {
				return Malformed();
			}
		}
	}
	return true;
}

bool ReadVertexArrays( RwStream* stream, RpGeometry* geometry ) {
	const u64 vertices = static_cast<u64>( geometry->numVertices );
	if ( geometry->preLitLum != nullptr && !ReadExactly( stream, geometry->preLitLum, static_cast<u32>( vertices * 4 ) ) ) {
		return false;
	}
	for ( s32 set = 0; set < geometry->numTexCoordSets; set++ ) {
		if ( !ReadFloats( stream, &geometry->texCoords[set]->u, vertices * 2 ) ) {
			return false;
		}
	}
	return ReadTriangles( stream, geometry );
}

bool ReadMorphTargets( RwStream* stream, RpGeometry* geometry ) {
	const u64 values = static_cast<u64>( geometry->numVertices ) * 3;
	for ( s32 t = 0; t < geometry->numMorphTargets; t++ ) {
		RpMorphTarget& target = geometry->morphTarget[t];
		u8 record[MORPH_RECORD_BYTES];
		if ( !ReadExactly( stream, record, MORPH_RECORD_BYTES ) ) {
			return false;
		}
		target.boundingSphere = { { DTReadLEF32( record ), DTReadLEF32( record + 4 ), DTReadLEF32( record + 8 ) },
								  DTReadLEF32( record + 12 ) };
		const bool positions = DTReadLE32( record + 16 ) != 0;
		const bool normals = DTReadLE32( record + 20 ) != 0;
		// Arrays the geometry has no room for are malformed.
		if ( ( positions && target.verts == nullptr && values != 0 ) || ( normals && target.normals == nullptr && values != 0 ) ) {
			return Malformed();
		}
		// Without vertices there is nothing to read and no array to name.
		if ( positions && values != 0 && !ReadFloats( stream, &target.verts->x, values ) ) {
			return false;
		}
		if ( normals && values != 0 && !ReadFloats( stream, &target.normals->x, values ) ) {
			return false;
		}
	}
	return true;
}

bool MaterialIndicesInList( const RpGeometry* geometry ) {
	for ( s32 i = 0; i < geometry->numTriangles && geometry->triangles != nullptr; i++ ) {
		const s16 index = geometry->triangles[i].matIndex;
		if ( index < -1 || index >= geometry->matList.numMaterials ) {
			return Malformed();
		}
	}
	return true;
}

// The material list, with the struct's surface properties as the new
// materials' defaults when both the struct and the list predate them.
bool ReadMaterialList( RwStream* stream, RpGeometry* geometry, const RwSurfaceProperties* surface ) {
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, rwID_MATLIST, nullptr, &version ) ) {
		return false;
	}
	const bool oldList = version < RPGEOMETRY_SURFACE_VERSION;
	if ( oldList && surface != nullptr ) {
		_rpMaterialSetDefaultSurfaceProperties( surface );
	}
	const bool read = _rpMaterialListStreamRead( stream, &geometry->matList ) != nullptr;
	if ( oldList && surface != nullptr ) {
		_rpMaterialSetDefaultSurfaceProperties( nullptr );
	}
	return read;
}

// False when the stream cannot hold what the counts promise: the morph
// records and, unless native, the triangles, pre-lit colours, texture sets
// and every morph target's positions, whose arrays are sized before a
// byte of them is read. Nothing is allocated for counts no stream of this
// length can fill.
// chunkLeft bounds what a stream that cannot tell its own end holds.
bool CountsFitStream( RwStream* stream, const u32 format, const s32 numTriangles, const s32 numVertices,
					  const s32 numMorphTargets, const u32 chunkLeft ) {
	u32 left = 0;
	if ( !_rwStreamBytesLeft( stream, &left ) || left > chunkLeft ) {
		left = chunkLeft;
	}
	const u64 vertices = numVertices > 0 ? static_cast<u64>( numVertices ) : 0;
	const u64 triangles = numTriangles > 0 ? static_cast<u64>( numTriangles ) : 0;
	// Too many sets is the create's refusal to report.
	const s32 formatSets = _rpGeometryTexCoordSets( format );
	const u64 sets = formatSets <= RPGEOMETRY_MAX_TEXCOORD_SETS ? static_cast<u64>( formatSets ) : 0;
	u64 least = MORPH_RECORD_BYTES * static_cast<u64>( numMorphTargets );
	// Triangles without vertices are refused as well.
	if ( ( format & rpGEOMETRYNATIVE ) == 0 ) {
		least += triangles * TRIANGLE_BYTES + vertices * sets * sizeof( RwTexCoords );
		least += ( format & rpGEOMETRYPRELIT ) ? vertices * sizeof( RwRGBA ) : 0;
		least += static_cast<u64>( numMorphTargets ) * vertices * POSITION_BYTES;
	}
	return least <= left;
}

RpGeometry* Fail( RpGeometry* geometry ) {
	RpGeometryDestroy( geometry );
	return nullptr;
}

RwStream* BinMeshRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	RpGeometry* const geometry = static_cast<RpGeometry*>( object );
	// A native instance read before holds lists for the meshes it was read
	// with: new meshes would not match them.
	if ( geometry->repEntry != nullptr ) {
		Malformed();
		return nullptr;
	}
	RpMeshHeader* const header = _rpBinMeshRead( stream, length, ( geometry->flags & rpGEOMETRYNATIVE ) != 0,
												 static_cast<u32>( geometry->numVertices ), &geometry->matList );
	if ( header == nullptr ) {
		return nullptr;
	}
	if ( geometry->mesh != nullptr ) {
		_rpMeshDestroy( geometry->mesh );
	}
	geometry->mesh = header;
	return stream;
}

RwStream* BinMeshWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	const RpGeometry* const geometry = static_cast<const RpGeometry*>( object );
	if ( geometry->mesh == nullptr ) {
		return stream;
	}
	return _rpBinMeshWrite( geometry->mesh, stream, ( geometry->flags & rpGEOMETRYNATIVE ) != 0, &geometry->matList );
}

// No entry (-1) for a geometry without meshes.
s32 BinMeshSize( const void* object, s32, s32 ) {
	const RpGeometry* const geometry = static_cast<const RpGeometry*>( object );
	if ( geometry->mesh == nullptr ) {
		return -1;
	}
	return _rpBinMeshSize( geometry->mesh, ( geometry->flags & rpGEOMETRYNATIVE ) != 0 );
}

// The platform's native data: an instanced geometry's lists and arrays.
RwStream* NativeRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	return _rpGeometryNativeRead( stream, static_cast<RpGeometry*>( object ), static_cast<u32>( length ) ) != nullptr
			   ? stream
			   : nullptr;
}

RwStream* NativeWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	return _rpGeometryNativeWrite( stream, static_cast<const RpGeometry*>( object ) );
}

s32 NativeSize( const void* object, s32, s32 ) {
	return _rpGeometryNativeSize( static_cast<const RpGeometry*>( object ) );
}

// Once every extension entry is in (a skin decides whether the lists
// carry matrix indices).
bool NativeAlways( void* object, s32, s32 ) {
	return _rpGeometryNativeCheckLists( static_cast<RpGeometry*>( object ) );
}

}	// namespace

bool _rpGeometryRegisterStreams() {
	return _rwPluginRegistryAddPlugin( &geometryTKList, 0, rwID_BINMESHPLUGIN, nullptr, nullptr, nullptr ) >= 0 &&
		   RpGeometryRegisterPluginStream( rwID_BINMESHPLUGIN, BinMeshRead, BinMeshWrite, BinMeshSize ) >= 0 &&
		   _rwPluginRegistryAddPlugin( &geometryTKList, 0, rwID_NATIVEDATAPLUGIN, nullptr, nullptr, nullptr ) >= 0 &&
		   RpGeometryRegisterPluginStream( rwID_NATIVEDATAPLUGIN, NativeRead, NativeWrite, NativeSize ) >= 0 &&
		   _rwPluginRegistryAddPlgnStrmlwysCB( &geometryTKList, rwID_NATIVEDATAPLUGIN, NativeAlways ) >= 0;
}

RpGeometry* RpGeometryStreamRead( RwStream* stream ) {
	return _rpGeometryStreamReadIn( stream, 0xFFFFFFFF );
}

RpGeometry* _rpGeometryStreamReadIn( RwStream* stream, const u32 chunkLength ) {
	u32 length = 0;
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, &version ) ) {
		return nullptr;
	}
	// The struct and everything after it lie inside the geometry chunk.
	if ( static_cast<u64>( length ) + CHUNK_HEADER_BYTES > chunkLength ) {
		Malformed();
		return nullptr;
	}
	const u32 chunkLeft = chunkLength - CHUNK_HEADER_BYTES - length;
	const bool withSurface = version < RPGEOMETRY_SURFACE_VERSION;
	const u32 defined = withSurface ? STRUCT_WITH_SURFACE_BYTES : STRUCT_COUNTS_BYTES;
	u8 record[STRUCT_WITH_SURFACE_BYTES] = {};
	if ( length < defined ) {
		Malformed();
		return nullptr;
	}
	if ( !ReadExactly( stream, record, defined ) || ( length > defined && RwStreamSkip( stream, length - defined ) == nullptr ) ) {
		return nullptr;
	}
	const u32 format = DTReadLE32( record );
	const s32 numTriangles = DTReadLES32( record + 4 );
	const s32 numVertices = DTReadLES32( record + 8 );
	const s32 numMorphTargets = DTReadLES32( record + 12 );
	const RwSurfaceProperties surface = { DTReadLEF32( record + 16 ), DTReadLEF32( record + 20 ), DTReadLEF32( record + 24 ) };
	if ( numMorphTargets < 1 || !CountsFitStream( stream, format, numTriangles, numVertices, numMorphTargets, chunkLeft ) ) {
		Malformed();
		return nullptr;
	}
	RpGeometry* const geometry = RpGeometryCreate( numVertices, numTriangles, format );
	if ( geometry == nullptr ) {
		return nullptr;
	}
	if ( numMorphTargets > 1 && RpGeometryAddMorphTargets( geometry, numMorphTargets - 1 ) < 0 ) {
		return Fail( geometry );
	}
	const bool native = ( geometry->flags & rpGEOMETRYNATIVE ) != 0;
	// Triangles without vertices would name vertices that do not exist.
	if ( !native && numVertices == 0 && numTriangles > 0 ) {
		Malformed();
		return Fail( geometry );
	}
	if ( !native && numVertices != 0 && !ReadVertexArrays( stream, geometry ) ) {
		return Fail( geometry );
	}
	if ( !ReadMorphTargets( stream, geometry ) ||
		 !ReadMaterialList( stream, geometry, withSurface ? &surface : nullptr ) || !MaterialIndicesInList( geometry ) ||
		 _rwPluginRegistryReadDataChunks( &geometryTKList, stream, geometry ) == nullptr ||
		 RpGeometryUnlock( geometry ) == nullptr ) {
		return Fail( geometry );
	}
	return geometry;
}
