#include "M4vTestStream.h"

#include "tools/lib/movie/ToolBitWriter.h"

namespace {

void StartCode( std::vector<u8>& bytes, const u8 code ) {
	const u8 prefix[4] = { 0, 0, 1, code };
	bytes.insert( bytes.end(), prefix, prefix + 4 );
}

// next_start_code(): a 0 bit, then 1 bits up to the byte boundary.
void Stuffing( ToolBitWriter& writer ) {
	writer.Write( 0, 1 );
	while ( writer.BitCount() % 8 != 0 ) {
		writer.Write( 1, 1 );
	}
}

void Append( std::vector<u8>& bytes, ToolBitWriter& writer ) {
	const std::vector<u8> body = writer.Finish();
	bytes.insert( bytes.end(), body.begin(), body.end() );
}

u32 IncrementBits( const u32 resolution ) {
	u32 bits = 1;
	while ( ( 1u << bits ) < resolution ) {
		bits++;
	}
	return bits;
}

void WriteMatrix( ToolBitWriter& writer, const std::vector<u8>& values ) {
	writer.Write( values.empty() ? 0 : 1, 1 );
	for ( const u8 value : values ) {
		writer.Write( value, 8 );
	}
}

// warping_mv_code: dmv_length, dmv_code, marker.
void WriteWarping( ToolBitWriter& writer, const s32 value ) {
	static const u32 codes[15][2] = { { 0x000, 2 }, { 0x002, 3 }, { 0x003, 3 }, { 0x004, 3 }, { 0x005, 3 },
									  { 0x006, 3 }, { 0x00E, 4 }, { 0x01E, 5 }, { 0x03E, 6 }, { 0x07E, 7 },
									  { 0x0FE, 8 }, { 0x1FE, 9 }, { 0x3FE, 10 }, { 0x7FE, 11 }, { 0xFFE, 12 } };
	const u32 magnitude = static_cast<u32>( value < 0 ? -value : value );
	u32 length = 0;
	while ( ( magnitude >> length ) != 0 ) {
		length++;
	}
	writer.Write( codes[length][0], codes[length][1] );
	if ( length > 0 ) {
		const u32 code = value > 0 ? static_cast<u32>( value ) : static_cast<u32>( value + static_cast<s32>( ( 1u << length ) - 1u ) );
		writer.Write( code, length );
	}
	writer.Write( 1, 1 );
}

}

u32 M4vTestStream::BodyPattern( const u32 bit ) {
	// 1011 0010 repeated: no long zero runs, so no marker or start code.
	return ( 0xB2u >> ( 7u - bit % 8u ) ) & 1u;
}

std::vector<u8> M4vTestStream::BodyBits( const u32 bodyBits ) {
	ToolBitWriter writer;
	for ( u32 i = 0; i < bodyBits; i++ ) {
		writer.Write( BodyPattern( i ), 1 );
	}
	return writer.Finish();
}

void M4vTestStream::Raw( const std::vector<u8>& raw ) {
	bytes.insert( bytes.end(), raw.begin(), raw.end() );
}

void M4vTestStream::Layer( const TestLayer& layer ) {
	StartCode( bytes, 0x00 );
	StartCode( bytes, 0x20 );
	ToolBitWriter w;
	w.Write( 0, 1 );
	w.Write( 1, 8 );
	w.Write( 1, 1 );
	w.Write( layer.verid, 4 );
	w.Write( 1, 3 );
	w.Write( 1, 4 );
	w.Write( 0, 1 );
	w.Write( layer.shape, 2 );
	w.Write( 1, 1 );
	w.Write( layer.resolution, 16 );
	w.Write( 1, 1 );
	w.Write( 0, 1 );
	w.Write( 1, 1 );
	w.Write( layer.width, 13 );
	w.Write( 1, 1 );
	w.Write( layer.height, 13 );
	w.Write( 1, 1 );
	w.Write( layer.interlaced, 1 );
	w.Write( layer.obmcDisable, 1 );
	w.Write( layer.sprite, layer.verid == 1 ? 1 : 2 );
	if ( layer.sprite == 2 ) {
		w.Write( layer.warpingPoints, 6 );
		w.Write( layer.warpingAccuracy, 2 );
		w.Write( layer.brightnessChange, 1 );
	}
	w.Write( layer.notEightBit, 1 );
	w.Write( layer.mpegQuant, 1 );
	if ( layer.mpegQuant ) {
		WriteMatrix( w, layer.intraMatrix );
		WriteMatrix( w, layer.interMatrix );
	}
	if ( layer.verid != 1 ) {
		w.Write( layer.quarterSample, 1 );
	}
	w.Write( layer.complexityEstimationDisable, 1 );
	w.Write( layer.resyncMarkerDisable, 1 );
	w.Write( layer.dataPartitioned, 1 );
	if ( layer.dataPartitioned ) {
		w.Write( 0, 1 );
	}
	if ( layer.verid != 1 ) {
		w.Write( layer.newpred, 1 );
		w.Write( layer.reducedResolution, 1 );
	}
	w.Write( layer.scalability, 1 );
	Stuffing( w );
	Append( bytes, w );
}

void M4vTestStream::Gov( const u32 seconds ) {
	StartCode( bytes, 0xB3 );
	ToolBitWriter w;
	w.Write( seconds / 3600u, 5 );
	w.Write( seconds / 60u % 60u, 6 );
	w.Write( 1, 1 );
	w.Write( seconds % 60u, 6 );
	w.Write( 1, 1 );
	w.Write( 0, 1 );
	Stuffing( w );
	Append( bytes, w );
}

void M4vTestStream::Plane( const TestLayer& layer, const TestPlane& plane ) {
	StartCode( bytes, 0xB6 );
	ToolBitWriter w;
	w.Write( plane.type, 2 );
	for ( u32 i = 0; i < plane.modulo; i++ ) {
		w.Write( 1, 1 );
	}
	w.Write( 0, 1 );
	w.Write( 1, 1 );
	w.Write( plane.increment, IncrementBits( layer.resolution ) );
	w.Write( 1, 1 );
	w.Write( plane.coded, 1 );
	if ( plane.coded ) {
		if ( plane.type == 1 || plane.type == 3 ) {
			w.Write( plane.rounding, 1 );
		}
		w.Write( plane.intraDcThreshold, 3 );
		if ( layer.interlaced ) {
			w.Write( plane.topFieldFirst, 1 );
			w.Write( plane.alternateScan, 1 );
		}
		if ( plane.type == 3 ) {
			for ( size_t i = 0; i < plane.warpX.size(); i++ ) {
				WriteWarping( w, plane.warpX[i] );
				WriteWarping( w, plane.warpY[i] );
			}
		}
		w.Write( plane.quantiser, 5 );
		if ( plane.type != 0 ) {
			w.Write( plane.forwardFCode, 3 );
		}
		if ( plane.type == 2 ) {
			w.Write( plane.backwardFCode, 3 );
		}
		for ( u32 i = 0; i < plane.bodyBits; i++ ) {
			w.Write( BodyPattern( i ), 1 );
		}
		if ( plane.resyncMarkerBits > 0 ) {
			Stuffing( w );
			w.Write( 1, plane.resyncMarkerBits );
			w.Write( 0x2D, 8 );
		}
	}
	Stuffing( w );
	Append( bytes, w );
}
