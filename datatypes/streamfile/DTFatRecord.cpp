#include "datatypes/streamfile/DTFatRecord.h"

#include "datatypes/base/DTByteOrder.h"

DTFatRecord::DTFatRecord()
	: mui32FirstWord( 0xFFFFFFFF ), mui32ObjectSize( 0xFFFFFFFF ), mui32ThirdWord( 0xFFFFFFFF ), miClassID( 0 ) {
}

void DTFatRecord::Decode( const u8 * bytes ) {
	mui32FirstWord = DTReadBE32( bytes );
	mui32ObjectSize = DTReadBE32( bytes + 4 );
	mui32ThirdWord = DTReadBE32( bytes + 8 );
	miClassID = DTReadBES32( bytes + 12 );
}
